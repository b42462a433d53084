// The simulated desktop must behave like the real platform where the program
// relies on it, or the program's tests prove nothing.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

using namespace platform;
using namespace platform::sim;

namespace {

// The topmost band above the rest, nothing of a zero-size window; off the
// monitors captures black; a copy is clipped. (Raster operations: the frame tests.)
TEST(SimScreen, ComposesWindowsInBandOrderAndBlitsWhatIsSeen) {
  SimDesktop desk(100, 100, 15);
  desk.fillDesktop(0x111111);
  const WindowDesign character{"test", "", WindowKind::Character, 300, 300};
  SimWindow low(desk, character), high(desk, character);
  low.back = Bitmap(20, 20, 0xAA0033), high.back = Bitmap(20, 20, 0x00BB00);
  low.moveToPixels(-10, 0), high.moveToPixels(0, 10), low.show(), high.show();
  EXPECT_EQ(desk.capture(5, 15, 1, 1).at(0, 0), 0x00BB00u);  // created later: on top
  desk.SetWindowPos(low.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  desk.raise(&high);
  const Bitmap row = desk.capture(-5, 15, 30, 1);  // from off the screen
  EXPECT_EQ(std::make_tuple(row.at(0, 0), row.at(5, 0), row.at(20, 0)),
            std::make_tuple(0u, 0xAA0033u, 0x00BB00u));
  auto s = desk.createSurface(4, 4);
  EXPECT_TRUE(desk.BitBlt(s->hDC(), 1, 1, 10, 10, kScreenDC, 98, 15, SRCCOPY));
  EXPECT_EQ(std::make_pair(s->read().at(2, 1), s->read().at(3, 1)), std::make_pair(0x111111u, 0u));
  high.hide(), low.setWidth(0);
  EXPECT_EQ(desk.capture(5, 15, 1, 1).at(0, 0), 0x111111u);
  low.setWidth(300);  // the back image survives a collapse
  EXPECT_EQ(desk.capture(5, 15, 1, 1).at(0, 0), 0xAA0033u);
  // Only an activating call takes the keyboard; the screen's context is released once.
  auto editor = desk.openApplicationWindow(0, 0, 10, 10, 0);
  desk.SetWindowPos(low.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_EQ(desk.foreground(), editor->hWnd());
  desk.SetWindowPos(low.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_EQ(desk.foreground(), low.hWnd());
  const Handle dc = desk.GetDC(0);
  const int held = desk.heldScreenDCs(), first = desk.ReleaseDC(0, dc), second = desk.ReleaseDC(0, dc);
  EXPECT_EQ(std::make_tuple(held, first, second, desk.heldScreenDCs()), std::make_tuple(1, 1, 0, 0));
  // Black where no monitor is; a window's monitor holds its centre; a rectangle touches a taken one or not.
  desk.setMonitors({{0, 0, 100, 100, true}, {100, 0, 50, 50, false, true}}), low.moveToPixels(96, 30);
  const Bitmap edge = desk.capture(110, 49, 1, 2);
  EXPECT_EQ(std::make_tuple(edge.at(0, 0), edge.at(0, 1), desk.screenTaken(low.hWnd()),
                            desk.anyScreenTaken(0, 0, 1500, 1500), desk.anyScreenTaken(0, 0, 1501, 15)),
            std::make_tuple(0xAA0033u, 0u, true, false, true));
}

// Posted events run at the next pass in order, what they post at the pass
// after; a nested pass runs the events waiting behind it. A text box reports
// every change, set at once or typed at the next pass; input reaches only
// enabled controls in shown windows; Enter, Esc. Timers count afresh when
// changed or enabled; a tick never runs inside a tick (those due meanwhile
// are dropped); nothing runs after the end.
TEST(SimClock, EventsInOrderControlInputTimersAtTheirIntervalNeverInsideATickNothingAfterTheEnd) {
  SimDesktop desk;
  std::vector<int> ran;
  desk.post([&] { ran.push_back(1), desk.post([&] { ran.push_back(3); }); });
  desk.post([&] { ran.push_back(2); });
  EXPECT_TRUE(ran.empty());
  desk.doEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  desk.doEvents(), desk.post([&] { ran.push_back(4), desk.doEvents(), ran.push_back(6); });
  desk.post([&] { ran.push_back(5); }), desk.doEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  SimWindow dialog{desk, {"dialog", "", WindowKind::Dialog, 3000, 1500}};
  TextBox& rate = dialog.addTextBox(8, 28, 60, 20, "10");
  Button& ok = dialog.addButton(80, 28, 60, 24, "OK");
  std::vector<std::string> seen;
  rate.onChange = [&] { seen.push_back(rate.text()); }, ok.onClick = [&] { seen.push_back("ok"); };
  dialog.onCancel = [&] { seen.push_back("cancel"); };
  ok.setDefault(true), dialog.show(), rate.setText("25"), desk.type(rate, "0");  // the caret after the text
  EXPECT_EQ(seen.size(), 1u);
  desk.doEvents(), static_cast<SimTextBox&>(rate).selectAll();
  desk.type(rate, "7\b\b");  // over the selection; the second backspace finds nothing
  desk.key(dialog, SimDesktop::Key::Enter), desk.key(dialog, SimDesktop::Key::Escape), desk.doEvents();
  ok.setEnabled(false), desk.click(ok), desk.key(dialog, SimDesktop::Key::Enter), desk.doEvents();
  dialog.hide(), desk.type(rate, "5"), desk.doEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"25", "250", "7", "", "ok", "cancel"}));
  auto t = desk.createTimer(500, true), fast = desk.createTimer(30, false);
  std::vector<long long> at;
  int depth = 0, maxDepth = 0, fastTicks = 0;
  t->onTick = [&] { at.push_back(desk.clock()); }, desk.advance(1200);
  EXPECT_EQ(at, (std::vector<long long>{500, 1000}));
  t->setInterval(250), desk.advance(500);  // from 1200
  t->setEnabled(false), desk.advance(2000), t->setEnabled(true), desk.advance(100);
  t->setEnabled(true), desk.advance(250);  // already on: the count starts again
  EXPECT_EQ(at, (std::vector<long long>{500, 1000, 1450, 1700, 4050}));
  t->setInterval(100);  // its handler lets time pass inside it
  t->onTick = [&] { maxDepth = std::max(maxDepth, ++depth), desk.doEventsPaced(700, 250), --depth; };
  fast->onTick = [&] { maxDepth = std::max(maxDepth, ++depth), --depth, ++fastTicks; };
  fast->setEnabled(true), desk.advance(1000);
  EXPECT_TRUE(maxDepth == 1 && fastTicks > 0 && fastTicks < 1000 / 30) << maxDepth << ", " << fastTicks;
  desk.post([&] { ran.push_back(7); }), desk.end(), desk.post([&] { ran.push_back(8); }), desk.advance(1000);
  const std::size_t before = ran.size() + desk.callsAfterEnd;
  const bool notified = desk.Shell_NotifyIcon(NIM_DELETE, {});  // a program that went on calling is caught
  EXPECT_EQ(std::make_tuple(before, notified, desk.callsAfterEnd), std::make_tuple(6u, false, 1));
}

}  // namespace
