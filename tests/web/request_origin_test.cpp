#include "web/request_origin.h"

#include <gtest/gtest.h>

namespace velmora::web {
namespace {

TEST(RequestOriginTest, HostNamesAreReadWithoutPortCaseOrFinalDot) {
  const struct {
    const char* header;
    const char* name;
  } cases[] = {
      {"Pit.Example:8080", "pit.example"},
      {"localhost.", "localhost"},
      {"[::1]:80", "::1"},
      {"127.0.0.1", "127.0.0.1"},
      {"[::1]", "::1"},
      {"", ""},
      {"a:b", ""},
      {"[::1]x", ""},
      {"[nothing]:80", ""},
      {"evil.example/x", ""},
      {"user@host", ""},
      {"::1", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HostName(c.header), c.name) << c.header;
  }
}

TEST(RequestOriginTest, OwnHostsAreLoopbackTheAddressesReachedOrListenedOnAndTheAllowedNames) {
  const auto local = asio::ip::make_address("192.168.1.20");
  const auto any = asio::ip::make_address("0.0.0.0");
  const auto bound = asio::ip::make_address("10.0.0.5");
  const std::vector<std::string> allowed{"Pit-Wall.example"};
  const struct {
    const char* host;
    const asio::ip::address& bound;
    bool own;
  } cases[] = {
      {"localhost:8080", any, true},
      {"127.0.0.1:8080", any, true},
      {"127.8.9.10", any, true},
      {"[::1]:8080", any, true},
      {"192.168.1.20:8080", any, true},
      {"[::ffff:192.168.1.20]:8080", any, true},
      {"10.0.0.5", bound, true},
      {"10.0.0.5", any, false},
      {"pit-wall.example:8080", any, true},
      {"PIT-WALL.EXAMPLE.", any, true},
      {"192.168.1.21:8080", any, false},
      {"evil.example:8080", any, false},
      {"pit-wall.example.evil.example", any, false},
      {"localhost.evil.example", any, false},
      {"", any, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsOwnHost(c.host, local, c.bound, allowed), c.own) << c.host;
  }
}

TEST(RequestOriginTest, OnlyThePagesOwnOriginIsOwn) {
  const struct {
    const char* origin;
    const char* host;
    bool own;
  } cases[] = {
      {"http://127.0.0.1:8080", "127.0.0.1:8080", true},
      {"HTTP://LocalHost:8080", "localhost:8080", true},
      {"https://pit-wall.example", "pit-wall.example", true},
      {"http://evil.example", "127.0.0.1:8080", false},
      {"http://127.0.0.1:8081", "127.0.0.1:8080", false},
      {"http://localhost:8080", "127.0.0.1:8080", false},
      {"null", "127.0.0.1:8080", false},
      {"file://", "127.0.0.1:8080", false},
      {"http://", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsOwnOrigin(c.origin, c.host), c.own) << c.origin << " " << c.host;
  }
}

}  // namespace
}  // namespace velmora::web
