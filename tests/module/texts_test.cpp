// The stored rate, a directory's buffer, the clock, free memory, UTF-16.
#include <gtest/gtest.h>

#include "module/Module1.h"
#include "platform/common/utf16.h"
#include "windows/clock_text.h"
#include "windows/memory_text.h"

namespace {

// Plain decimals, halves to even; anything else or beyond 16 bits gives the
// fallback (99). Forms the dialog's table covers are left to it.
TEST(StoredRate, PlainDecimalsRoundHalvesToEvenAndAnythingElseFallsBack) {
  const std::pair<const char*, std::int16_t> cases[] = {
      {"+8", 8},          {"5.", 5},     {"-0.5", 0},    {"32767", 32767},
      {"-32768", -32768}, {" ", 99},     {"--1", 99},    {".", 99},
      {"32767.5", 99},    {"32768", 99}, {"-32769", 99}, {"99999999999999999999999", 99}};
  for (const auto& [text, rate] : cases) EXPECT_EQ(parseStoredRate(text, 99), rate) << '"' << text << '"';
}

// The buffer a directory is read into: exactly as long as the call is told.
TEST(FixedText, PadsAndCuts) { EXPECT_EQ(fixedText("ab", 4) + fixedText("abcdef", 4), "ab  abcd"); }

TEST(ClockText, NumbersWithoutLeadingZerosEveryWeekdayAndNothingOutside) {
  EXPECT_EQ(clockText(platform::DateTime{2027, 10, 31, 1, 0, 0, 0}), "10月31日(日) 0時0分 だよ");
  const char* days[] = {"", "日", "月", "火", "水", "木", "金", "土", ""};
  for (std::int16_t d = 0; d <= 8; ++d) EXPECT_EQ(WeekdayKanji(d), days[d]) << d;
}

// The share of the thousands, each rounded half to even first, rounded down.
TEST(FreeMemory, ShareOfTheRoundedThousandsRoundedDown) {
  constexpr std::uint64_t GiB = 1ull << 30;
  const std::pair<MemoryFigures, int> cases[] = {
      {{2500, 1500, 0, 0}, 100},                      // rounded first, halves to even: 2 of 2, not 60 %
      {{8 * GiB, 0, 4 * GiB, 0}, 0},                  // nothing free
      {{}, 0},                                        // nothing reported
      {{1000, 9000, 0, 0}, 100},                      // more free than in all: all
      {{16 * GiB, 6 * GiB, 24 * GiB, 14 * GiB}, 50},  // beyond four gigabytes
      {{3 * GiB, 1 * GiB, 0, 0}, 33},                 // 33.3 % rounded down
      {{3000, 2000, 0, 0}, 66}};                      // 66.7 %: down, not to the nearest
  for (const auto& [figures, percent] : cases) EXPECT_EQ(freePercent(figures), percent) << figures.totalPhys;
}

// A NUL is kept; a stray continuation, a cut sequence, an overlong form, a
// surrogate, beyond U+10FFFF: each one replacement character.
TEST(Utf16, EveryLengthOfSequenceAndMalformedInputAsReplacementCharacters) {
  using platform::utf16;
  const char16_t bad = 0xFFFD;
  EXPECT_EQ(utf16("A\xC3\xA9ﾊﾞ情\xF0\x9F\x90\xB1"),
            (std::u16string{u'A', 0xE9, u'ﾊ', u'ﾞ', u'情', 0xD83D, 0xDC31}));
  EXPECT_EQ(utf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(utf16("\x80\xE3\x81z\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"),
            (std::u16string{bad, bad, u'z', bad, bad, bad}));
}

}  // namespace
