// The text and number helpers of the program-wide variables.
#include <gtest/gtest.h>

#include <cstring>

#include "module/Module1.h"

namespace {

TEST(StoredRate, PlainDecimalsRoundHalvesToEven) {
  EXPECT_EQ(parseStoredRate("10", 1), 10);
  EXPECT_EQ(parseStoredRate(" 7 ", 1), 7);
  EXPECT_EQ(parseStoredRate("7.0", 1), 7);
  EXPECT_EQ(parseStoredRate("12.5", 1), 12);
  EXPECT_EQ(parseStoredRate("13.5", 1), 14);
  EXPECT_EQ(parseStoredRate("-0.5", 1), 0);
  EXPECT_EQ(parseStoredRate("+8", 1), 8);
  EXPECT_EQ(parseStoredRate(".5", 1), 0);
  EXPECT_EQ(parseStoredRate("5.", 1), 5);
  EXPECT_EQ(parseStoredRate("32767", 1), 32767);
  EXPECT_EQ(parseStoredRate("-32768", 1), -32768);
}

TEST(StoredRate, AnythingElseGivesTheFallback) {
  for (const char* bad : {"", " ", "abc", "10a", "1e2", "0x10", "1,000", "--1", ".", "32767.5", "32768",
                          "-32769", "99999999999999999999999"})
    EXPECT_EQ(parseStoredRate(bad, 10), 10) << '"' << bad << '"';
}

TEST(FixedText, PadsAndCuts) {
  EXPECT_EQ(fixedText("ab", 4), "ab  ");
  EXPECT_EQ(fixedText("abcdef", 4), "abcd");
  EXPECT_EQ(trimBlanks("  C:\\W  "), "C:\\W");
  EXPECT_EQ(trimBlanks("    "), "");
}

TEST(FillDirectory, KeepsTheTextBeforeTheFirstNul) {
  std::string fixed(255, ' ');
  fillDirectory(fixed, [](char* b, std::uint32_t n) {
    EXPECT_EQ(n, 255u);
    std::memcpy(b, "C:\\A\0junk", 9);
  });
  EXPECT_EQ(fixed, fixedText("C:\\A", 255));
  // The call sees the text's old contents and may leave them.
  fillDirectory(fixed, [](char* b, std::uint32_t) { EXPECT_EQ(b[0], 'C'); });
  EXPECT_EQ(fixed, fixedText("C:\\A", 255));
}

}  // namespace
