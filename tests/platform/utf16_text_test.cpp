#include "platform/utf16_text.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

TEST(Utf16TextTest, ConvertsBothWays) {
  const char* texts[] = {"", "1, 2, 1, 9", "Prüfstand", "レース", "𝄞 clef", "\x7F\xC2\x80\xEF\xBF\xBF"};
  for (const char* text : texts) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << text;
  }
  EXPECT_EQ(Utf8ToUtf16("𝄞"), u"\xD834\xDD1E");
}

TEST(Utf16TextTest, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case utf8_cases[] = {
      {"a\xFF"
       "b",
       u"a\xFFFD"
       "b"},                            // never a lead byte
      {"\xC3", u"\xFFFD"},              // cut short
      {"\xC3(", u"\xFFFD("},            // a lead byte without its trail byte
      {"\xC0\xAF", u"\xFFFD"},          // overlong '/'
      {"\xED\xA0\x80", u"\xFFFD"},      // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xFFFD"},  // above U+10FFFF
  };
  for (const auto& c : utf8_cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  }
  // Unpaired surrogates in a file.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a") + char16_t{0xD800} + u"b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velmora::platform
