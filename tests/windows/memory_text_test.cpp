// rer's free-memory text: the share of the thousands, each rounded half to
// even first, rounded down.
#include <gtest/gtest.h>

#include "windows/memory_text.h"

namespace {

constexpr std::uint64_t GiB = 1ull << 30;

TEST(FreeMemory, ShareOfTheRoundedThousandsRoundedDown) {
  EXPECT_EQ(freeMemoryText({33554432, 8388608, 100663296, 41943040}), "リソースの残りは37% だぜ！");
  for (const auto& [bytes, k] :
       {std::pair<std::uint64_t, std::uint64_t>{1500, 2}, {2500, 2}, {2501, 3}, {499, 0}})
    EXPECT_EQ(thousands(bytes), k) << bytes;
  EXPECT_EQ(thousands(~0ull), 18446744073709552u);  // no overflow at the top
  const std::pair<MemoryFigures, int> cases[] = {
      {{2500, 1500, 0, 0}, 100},                      // rounded first: 2 of 2, not 60 %
      {{8 * GiB, 0, 4 * GiB, 0}, 0},                  // nothing free
      {{}, 0},                                        // nothing reported
      {{1000, 9000, 0, 0}, 100},                      // more free than in all: all
      {{16 * GiB, 6 * GiB, 24 * GiB, 14 * GiB}, 50},  // beyond four gigabytes
      {{3 * GiB, 1 * GiB, 0, 0}, 33}};                // 33.3 % rounded down
  for (const auto& [figures, percent] : cases) EXPECT_EQ(freePercent(figures), percent) << figures.totalPhys;
}

}  // namespace
