// The text and number helpers of the program-wide variables.
#include <gtest/gtest.h>

#include <cstring>

#include "module/Module1.h"

namespace {

// Plain decimals with optional sign, fraction and blanks, halves to even;
// anything else, or beyond 16 bits, gives the fallback (here 99).
TEST(StoredRate, PlainDecimalsRoundHalvesToEvenAndAnythingElseFallsBack) {
  const std::pair<const char*, std::int16_t> cases[] = {
      {"10", 10},      {" 7 ", 7},       {"7.0", 7},         {"12.5", 12},
      {"13.5", 14},    {"-0.5", 0},      {"+8", 8},          {".5", 0},
      {"5.", 5},       {"32767", 32767}, {"-32768", -32768}, {"", 99},
      {" ", 99},       {"abc", 99},      {"10a", 99},        {"1e2", 99},
      {"0x10", 99},    {"1,000", 99},    {"--1", 99},        {".", 99},
      {"32767.5", 99}, {"32768", 99},    {"-32769", 99},     {"99999999999999999999999", 99}};
  for (const auto& [text, rate] : cases) EXPECT_EQ(parseStoredRate(text, 99), rate) << '"' << text << '"';
}

TEST(FixedText, PadsCutsTrimsAndKeepsTheDirectoryBeforeTheFirstNul) {
  EXPECT_EQ(fixedText("ab", 4), "ab  ");
  EXPECT_EQ(fixedText("abcdef", 4), "abcd");
  EXPECT_EQ(trimBlanks("  C:\\W  "), "C:\\W");
  EXPECT_EQ(trimBlanks("    "), "");
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
