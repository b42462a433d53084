// The Timer contract on the real platform: ticks at its interval, and
// enabling a timer, even one that is enabled already, starts its count
// toward the next tick afresh.
#include "platform/win32/win32_platform.h"
#include "platform/win32/message_pump.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

using platform::win32::nowMs;
using platform::win32::Win32Platform;

constexpr double kClockSlackMs = 20;  // the system's timers step by a few ms: a tick may seem that early

// A busy machine makes ticks late, never early: the shortest gap between
// two tells the pace (a timer at twice its interval shows no gap below it).
TEST(Win32Timer, TicksComeAtItsInterval) {
  Win32Platform os;
  std::vector<double> ticks;
  auto timer = os.createTimer(100, true);
  timer->onTick = [&] { ticks.push_back(nowMs()); };
  while (ticks.size() < 8) os.doEventsPaced(1, 10);
  double shortest = 1e9;
  for (std::size_t i = 1; i < ticks.size(); ++i) shortest = std::min(shortest, ticks[i] - ticks[i - 1]);
  EXPECT_LT(shortest, 150.0);
}

TEST(Win32Timer, EnablingAnEnabledTimerRestartsTheCount) {
  Win32Platform os;
  // The enable must come before the first tick would; a machine too busy to
  // get there in time gets a longer interval.
  for (const int interval : {400, 800, 1600}) {
    std::vector<double> ticks;
    auto timer = os.createTimer(interval, true);
    timer->onTick = [&] { ticks.push_back(nowMs()); }, os.doEventsPaced(1, interval * 3 / 4);
    if (!ticks.empty()) continue;

    const double enabled = nowMs();
    timer->setEnabled(true);
    while (ticks.empty() && nowMs() - enabled < 20.0 * interval) os.doEventsPaced(1, 10);
    ASSERT_FALSE(ticks.empty()) << "no tick within 20 intervals";
    // Without the restart the tick would come a quarter interval after the enable.
    EXPECT_GE(ticks[0] - enabled, interval - kClockSlackMs);
    return;
  }
  GTEST_SKIP() << "every first tick came before the enable could be made";
}

}  // namespace
