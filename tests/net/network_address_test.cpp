#include "net/network_address.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(NetworkAddress, IsValidIPTakesFourNumbersUpTo255) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {{"192.168.1.2", true},    {"0.0.0.0", true},    {"255.255.255.255", true}, {"1.2.3.4.", true},
               {"192.168.1.256", false}, {"192.168.1", false}, {"1.2.3.x", false},        {"", false},
               {"1.2.3.4.5", false},     {"1..3.4", false},    {"1.2.3.4..", false},      {".1.2.3", false},
               {"1.2.3.-4", false},      {"01.2.3.4", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidIP(c.text), c.valid) << '"' << c.text << '"';
  }
}

TEST(NetworkAddress, PortsRunFrom1To65535) {
  EXPECT_EQ(ParsePort("6000"), 6000);
  EXPECT_EQ(ParsePort("1"), 1);
  EXPECT_EQ(ParsePort("65535"), 65535);
  for (const char* bad : {"0", "65536", "", "60a0", "-1", "99999"}) {
    EXPECT_FALSE(ParsePort(bad).has_value()) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace velmora
