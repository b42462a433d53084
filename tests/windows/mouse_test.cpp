// The mouse on ペッコ: the clock text and the drag. (His box is in
// companion_test.cpp, with rer's.)
#include <gtest/gtest.h>

#include "support.h"
#include "windows/behaviour.h"
#include "windows/clock_text.h"

using namespace testing_support;
using platform::DateTime;
using platform::LeftButton;
using platform::MiddleButton;
using platform::RightButton;

namespace {

TEST(ClockText, NumbersWithoutLeadingZerosEveryWeekdayAndNothingOutside) {
  EXPECT_EQ(clockText(DateTime{2026, 12, 5, 7, 22, 7, 0}), "12月5日(土) 22時7分 だよ");
  EXPECT_EQ(clockText(DateTime{2027, 10, 31, 1, 0, 0, 0}), "10月31日(日) 0時0分 だよ");
  const char* days[] = {"", "日", "月", "火", "水", "木", "金", "土", ""};
  for (std::int16_t d = 0; d <= 8; ++d) EXPECT_EQ(WeekdayKanji(d), days[d]) << d;
}

// Any move sets the tip; only a move with the left button held starts the
// system's move loop (the window follows only then), and not during rer's
// visit. Ticks go on in the loop.
TEST(Mouse, DragNeedsTheLeftButtonAndNoVisit) {
  ProgramOnDesktop p;
  p.start();
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(p.app.pekko().Image1());
  auto& timer = static_cast<platform::sim::SimTimer&>(p.app.pekko().Timer1());
  const struct {
    int buttons;
    bool visit, drags;
  } cases[] = {{LeftButton, false, true},
               {LeftButton | RightButton, false, true},
               {LeftButton | MiddleButton, false, true},
               {RightButton, false, false},
               {RightButton | MiddleButton, false, false},
               {0, false, false},
               {LeftButton, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.buttons << (c.visit ? " in a visit" : ""));
    p.app.m.actMode = c.visit ? kRionVisit : kWaveHand, p.app.m.actStep = 1;  // ticks never walk
    image1.setToolTipText("");
    const int x = p.pekko().pixelX(), ticks = timer.ticks;
    p.desk.drag(p.pekko(), 20, 0, 1600, c.buttons);
    p.desk.doEvents();
    EXPECT_EQ(p.pekko().pixelX(), c.drags ? x + 20 : x);
    EXPECT_EQ(timer.ticks, c.drags ? ticks + 3 : ticks);
    EXPECT_EQ(image1.toolTipText(), "12月5日(土) 22時7分 だよ");
  }
  EXPECT_EQ(p.desk.releaseCaptures, 3);
  EXPECT_TRUE(p.desk.messageBoxes.empty());
}

}  // namespace
