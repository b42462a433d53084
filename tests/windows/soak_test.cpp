// An hour of random use on the simulated desktop, in four streams that each
// end with 終了, with every invariant checked after every event.
#include <gtest/gtest.h>

#include "soak/soak.h"

TEST(Soak, AnHourOfRandomUseKeepsEveryInvariant) {
  soak::Figures f;
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    soak::Stream(seed, f).run(15);
    ASSERT_EQ(f.violation, "");
  }
  EXPECT_EQ(f.endings, 4);
  // The stream reached what it is meant to exercise.
  for (int n : {f.visits, f.sendOuts, f.callBacks, f.boxes, f.dialogs, f.shellRestarts}) EXPECT_GT(n, 4);
}
