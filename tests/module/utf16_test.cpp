// UTF-8 texts as the system's UTF-16.
#include <gtest/gtest.h>

#include "platform/common/utf16.h"

using platform::utf16;

TEST(Utf16, EveryLengthOfSequenceAndMalformedInputAsReplacementCharacters) {
  const char16_t bad = 0xFFFD;
  EXPECT_EQ(utf16("A!"), u"A!");
  EXPECT_EQ(utf16("ﾊﾞｰｼﾞｮﾝ情報"), u"ﾊﾞｰｼﾞｮﾝ情報");  // half-width kana stay half-width
  EXPECT_EQ(utf16("\xC3\xA9"), u"\u00E9");
  EXPECT_EQ(utf16("\xF0\x9F\x90\xB1"), std::u16string({0xD83D, 0xDC31}));     // beyond the basic plane
  EXPECT_EQ(utf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));  // a NUL is kept
  EXPECT_EQ(utf16("\x80x"), (std::u16string{bad, u'x'}));                     // stray continuation
  EXPECT_EQ(utf16("\xE3\x81z"), (std::u16string{bad, u'z'}));                 // cut short
  EXPECT_EQ(utf16("\xC0\xAF"), (std::u16string{bad}));                        // overlong
  EXPECT_EQ(utf16("\xED\xA0\x80"), (std::u16string{bad}));                    // a surrogate
  EXPECT_EQ(utf16("\xF4\x90\x80\x80"), (std::u16string{bad}));                // beyond U+10FFFF
}
