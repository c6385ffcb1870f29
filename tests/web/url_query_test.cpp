#include "web/url_query.h"

#include <gtest/gtest.h>

namespace velmora::web {
namespace {

TEST(UrlQueryTest, FindsAndDecodesOneValue) {
  struct Case {
    const char* query;
    const char* value;
  };
  const Case cases[] = {
      {"token=abc", "abc"},
      {"a=1&token=pit%20wall&b=2", "pit wall"},
      {"token=a+b", "a b"},
      {"token=%2", "%2"},    // a cut escape stays as written
      {"token=%zz", "%zz"},  // so does one that is not hexadecimal
      {"tokens=abc", ""},    // the name must match whole
      {"token", ""},         // a name without a value
      {"", ""},
      {"x=1&token=first&token=2", "first"},
      {"%74oken=yes", "yes"},  // the name may be escaped too
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QueryValue(c.query, "token"), c.value) << c.query;
  }
}

}  // namespace
}  // namespace velmora::web
