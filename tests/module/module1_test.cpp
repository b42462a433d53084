// The text and number helpers of the program-wide variables.
#include <gtest/gtest.h>

#include <cstring>

#include "module/Module1.h"

namespace {

TEST(StoredRate, PlainDecimalsRoundHalvesToEven) {
  const std::pair<const char*, std::int16_t> cases[] = {
      {"10", 10}, {" 7 ", 7}, {"7.0", 7}, {"12.5", 12},     {"13.5", 14},      {"-0.5", 0},
      {"+8", 8},  {".5", 0},  {"5.", 5},  {"32767", 32767}, {"-32768", -32768}};
  for (const auto& [text, rate] : cases) EXPECT_EQ(parseStoredRate(text, 1), rate) << '"' << text << '"';
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
