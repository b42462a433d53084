// The mouse on ペッコ: the clock text, the message box, the tooltip and the
// drag.
#include <gtest/gtest.h>

#include "support.h"
#include "windows/behaviour.h"
#include "windows/clock_text.h"

using namespace testing_support;
using platform::DateTime;
using platform::Handle;
using platform::LeftButton;
using platform::MiddleButton;
using platform::RightButton;

namespace {

TEST(ClockText, NumbersWithoutLeadingZerosAndTheTwoSpaces) {
  EXPECT_EQ(clockText(DateTime{2026, 12, 5, 7, 22, 7, 0}), "12月5日(土) 22時7分 だよ");
  EXPECT_EQ(clockText(DateTime{2027, 1, 9, 1, 9, 5, 59}), "1月9日(日) 9時5分 だよ");
  EXPECT_EQ(clockText(DateTime{2027, 10, 31, 1, 0, 0, 0}), "10月31日(日) 0時0分 だよ");
}

TEST(ClockText, WeekdayKanjiForEveryDayAndNothingOutside) {
  const char* days[] = {"日", "月", "火", "水", "木", "金", "土"};
  for (std::int16_t d = 1; d <= 7; ++d) EXPECT_EQ(WeekdayKanji(d), days[d - 1]);
  for (std::int16_t d : {0, 8, -1, 32767}) EXPECT_EQ(WeekdayKanji(d), "") << d;
}

class MouseTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override { start(); }
  platform::sim::SimMouseArea& image1() {
    return static_cast<platform::sim::SimMouseArea&>(app.pekko().Image1());
  }
};

TEST_F(MouseTest, ClickShowsTheClockBelowOtherWindowsAndLeavesTheFocusWhereItWas) {
  auto work = desk.openApplicationWindow(0, 0, 300, 200, 0xEEEEEE);
  desk.dateTime = {2026, 12, 5, 7, 22, 7, 0};
  bool topmostWhileOpen = true;
  Handle focusWhileOpen = 0;
  std::unique_ptr<SimWindow> other;
  desk.onMessageBox = [&](const platform::sim::MessageBoxCall&) {
    topmostWhileOpen = pekko().topmost;
    focusWhileOpen = desk.foreground();
    // Another topmost window comes to the front while the box is open.
    other = desk.openApplicationWindow(0, 0, 50, 50, 0);
    desk.SetWindowPos(other->hWnd(), platform::HWND_TOPMOST, 0, 0, 0, 0, 3);
    return platform::IDOK;
  };
  desk.click(pekko());
  desk.doEvents();
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].text, "12月5日(土) 22時7分 だよ");
  EXPECT_EQ(desk.messageBoxes[0].title, "ペッコ");
  EXPECT_EQ(desk.messageBoxes[0].style, platform::MB_OK);
  EXPECT_FALSE(topmostWhileOpen);
  EXPECT_EQ(focusWhileOpen, work->hWnd());
  EXPECT_EQ(desk.foreground(), other->hWnd());  // the window that opened meanwhile keeps it
  EXPECT_TRUE(pekko().topmost);
  const auto order = desk.stacking();  // above the other window again
  EXPECT_GT(std::find(order.begin(), order.end(), &pekko()),
            std::find(order.begin(), order.end(), other.get()));
}

TEST_F(MouseTest, DragNeedsTheLeftButtonWhateverElseIsHeldAndAnyMoveSetsTheTip) {
  struct Case {
    int buttons;
    bool drags;
  };
  for (const Case c : {Case{LeftButton, true}, Case{LeftButton | RightButton, true},
                       Case{LeftButton | MiddleButton, true}, Case{RightButton, false},
                       Case{MiddleButton, false}, Case{RightButton | MiddleButton, false}, Case{0, false}}) {
    SCOPED_TRACE(c.buttons);
    const int x = pekko().pixelX();
    const int tips = image1().toolTipSets;
    desk.drag(pekko(), 20, 0, 0, c.buttons);
    desk.doEvents();
    EXPECT_EQ(pekko().pixelX(), c.drags ? x + 20 : x);
    EXPECT_EQ(desk.sentMessages.size(), c.drags ? 1u : 0u);
    EXPECT_EQ(image1().toolTipSets, tips + 1);  // refreshed in every case
    EXPECT_EQ(image1().toolTipText(), "12月5日(土) 22時7分 だよ");
    desk.sentMessages.clear();
  }
  EXPECT_TRUE(desk.messageBoxes.empty());
}

TEST_F(MouseTest, NoDragDuringTheVisitButTheTooltipIsRefreshed) {
  desk.dateTime = {2026, 3, 4, 4, 9, 5, 0};
  app.m.actMode = kRionVisit;
  const float left = pekko().left();
  desk.drag(pekko(), 40, 40);
  desk.doEvents();
  EXPECT_EQ(pekko().left(), left);
  EXPECT_EQ(image1().toolTipText(), "3月4日(水) 9時5分 だよ");
  EXPECT_EQ(desk.releaseCaptures, 0);
  app.m.actMode = kWaveHand;
  desk.drag(pekko(), 40, 40);
  desk.doEvents();
  EXPECT_NE(pekko().left(), left);
}

TEST_F(MouseTest, DragUsesTheSystemMoveLoopAndTimerFramesGoOnMeanwhile) {
  const int ticks = static_cast<platform::sim::SimTimer&>(app.pekko().Timer1()).ticks;
  desk.drag(pekko(), -30, 12, 1600);
  desk.doEvents();
  ASSERT_EQ(desk.sentMessages.size(), 1u);
  EXPECT_EQ(desk.sentMessages[0].msg, platform::WM_NCLBUTTONDOWN);
  EXPECT_EQ(desk.sentMessages[0].wParam, platform::HTCAPTION);
  EXPECT_EQ(desk.sentMessages[0].lParam, 0);
  EXPECT_EQ(desk.releaseCaptures, 1);
  EXPECT_EQ(static_cast<platform::sim::SimTimer&>(app.pekko().Timer1()).ticks, ticks + 3);
  EXPECT_EQ(desk.heldScreenDCs(), 0);
}

}  // namespace
