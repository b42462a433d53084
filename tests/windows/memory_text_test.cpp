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
  // Rounded before the share is taken: 1500 of 2500 is 2 of 2, not 60 %.
  EXPECT_EQ(freePercent({2500, 1500, 0, 0}), 100);
}

TEST(FreeMemory, AllFreeNothingFreeAndNothingReported) {
  EXPECT_EQ(freePercent({8 * GiB, 8 * GiB, 4 * GiB, 4 * GiB}), 100);
  EXPECT_EQ(freePercent({8 * GiB, 0, 4 * GiB, 0}), 0);
  EXPECT_EQ(freeMemoryText({}), "リソースの残りは0% だぜ！");
  EXPECT_EQ(freePercent({1000, 9000, 0, 0}), 100);  // more free than in all: all
}

TEST(FreeMemory, CountsBeyondFourGigabytes) {
  // 16 GiB of memory, 6 of them free, and a 24 GiB page file, 14 free: half.
  EXPECT_EQ(freePercent({16 * GiB, 6 * GiB, 24 * GiB, 14 * GiB}), 50);
  // Rounded down: 1 of 3 is 33.3 %.
  EXPECT_EQ(freePercent({3 * GiB, 1 * GiB, 0, 0}), 33);
}

}  // namespace
