// rer's free-memory text.
#include <gtest/gtest.h>

#include "windows/memory_text.h"

namespace {

constexpr std::uint64_t GiB = 1ull << 30;

TEST(FreeMemory, TheWorkedExample) {
  const MemoryFigures m{33554432, 8388608, 100663296, 41943040};
  EXPECT_EQ(freeMemoryText(m), "リソースの残りは37% だぜ！");
}

TEST(FreeMemory, ThousandsRoundHalvesToEven) {
  EXPECT_EQ(thousands(1500), 2u);
  EXPECT_EQ(thousands(2500), 2u);
  EXPECT_EQ(thousands(2501), 3u);
  EXPECT_EQ(thousands(499), 0u);
  EXPECT_EQ(thousands(0), 0u);
  EXPECT_EQ(thousands(~0ull), 18446744073709552u);  // no overflow at the top
}

TEST(FreeMemory, ShareOfTheRoundedThousandsRoundedDown) {
  const std::pair<MemoryFigures, int> cases[] = {
      {{2500, 1500, 0, 0}, 100},                      // rounded first: 2 of 2, not 60 %
      {{8 * GiB, 8 * GiB, 4 * GiB, 4 * GiB}, 100},    // all free
      {{8 * GiB, 0, 4 * GiB, 0}, 0},                  // nothing free
      {{}, 0},                                        // nothing reported
      {{1000, 9000, 0, 0}, 100},                      // more free than in all: all
      {{16 * GiB, 6 * GiB, 24 * GiB, 14 * GiB}, 50},  // beyond four gigabytes
      {{3 * GiB, 1 * GiB, 0, 0}, 33}};                // 33.3 % rounded down
  for (const auto& [figures, percent] : cases)
    EXPECT_EQ(freePercent(figures), percent) << figures.totalPhys << " " << figures.availPhys;
}

}  // namespace
