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

class MouseTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override { start(); }
  platform::sim::SimMouseArea& image1() {
    return static_cast<platform::sim::SimMouseArea&>(app.pekko().Image1());
  }
};

// Any move sets the tip; only a move with the left button held starts the
// system's move loop, and not during rer's visit. Ticks go on in the loop.
TEST_F(MouseTest, DragNeedsTheLeftButtonAndNoVisit) {
  const struct {
    int buttons;
    Activity mode;
    bool drags;
  } cases[] = {{LeftButton, kWaveHand, true},
               {LeftButton | RightButton, kWaveHand, true},
               {LeftButton | MiddleButton, kWaveHand, true},
               {RightButton, kWaveHand, false},
               {RightButton | MiddleButton, kWaveHand, false},
               {0, kWaveHand, false},
               {LeftButton, kRionVisit, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.buttons << " in " << c.mode);
    app.m.actMode = c.mode, app.m.actStep = 1;  // ticks in the loop raise a hand, never walk
    desk.sentMessages.clear();
    image1().setToolTipText("");
    const int x = pekko().pixelX(), ticks = static_cast<platform::sim::SimTimer&>(app.pekko().Timer1()).ticks;
    desk.drag(pekko(), 20, 0, 1600, c.buttons);
    desk.doEvents();
    EXPECT_EQ(pekko().pixelX(), c.drags ? x + 20 : x);
    EXPECT_EQ(image1().toolTipText(), "12月5日(土) 22時7分 だよ");
    ASSERT_EQ(desk.sentMessages.size(), c.drags ? 1u : 0u);
    if (!c.drags) continue;
    EXPECT_EQ(desk.sentMessages[0].msg, platform::WM_NCLBUTTONDOWN);
    EXPECT_EQ(desk.sentMessages[0].wParam, platform::HTCAPTION);
    EXPECT_EQ(static_cast<platform::sim::SimTimer&>(app.pekko().Timer1()).ticks, ticks + 3);
  }
  EXPECT_EQ(desk.releaseCaptures, 3);
  EXPECT_TRUE(desk.messageBoxes.empty());
}

}  // namespace
