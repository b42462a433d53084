// Contract tests of the simulated desktop: it must behave like the real
// platform where the program relies on it, or the program's tests prove
// nothing.
#include <gtest/gtest.h>

#include "platform/sim/raster.h"
#include "platform/sim/sim_desktop.h"

using namespace platform;
using namespace platform::sim;

namespace {

WindowDesign character(float w = 960, float h = 960) { return {"test", "", WindowKind::Character, w, h}; }

void fill(SimWindow& w, std::uint32_t colour) {
  std::fill(w.back.pixels.begin(), w.back.pixels.end(), colour);
}

TEST(SimRaster, OperationsFollowTheirTruthTables) {
  const std::uint32_t s = 0xF0CC55, d = 0x3366AA;
  EXPECT_EQ(rop3(SRCCOPY, s, d), s);
  EXPECT_EQ(rop3(SRCERASE, s, d), s & ~d & 0xFFFFFF);
  EXPECT_EQ(rop3(SRCINVERT, s, d), s ^ d);
  EXPECT_EQ(rop3(SRCAND, s, d), s & d);
  EXPECT_EQ(rop3(SRCPAINT, s, d), s | d);
  EXPECT_EQ(rop3(0x00000042, s, d), 0u);             // BLACKNESS
  EXPECT_EQ(rop3(0x00FF0062, s, d), 0xFFFFFFu);      // WHITENESS
  EXPECT_EQ(rop3(0x00550009, s, d), ~d & 0xFFFFFF);  // DSTINVERT
  EXPECT_EQ(rop3(0x00F00021, s, d), 0xFFFFFFu);      // PATCOPY with the default white brush
}

TEST(SimScreen, ComposesVisibleWindowsInBandOrder) {
  SimDesktop desk(100, 100, 15);
  desk.fillDesktop(0x111111);
  SimWindow low(desk, character(300, 300)), high(desk, character(300, 300));
  fill(low, 0xAA0000);
  fill(high, 0x00BB00);
  low.setLeft(0), low.setTop(0), high.setLeft(150), high.setTop(150);  // (10, 10)
  low.show(), high.show();
  EXPECT_EQ(desk.capture(15, 15, 1, 1).at(0, 0), 0x00BB00u);  // created later: on top
  // The topmost band is above every normal window, whatever their order.
  desk.SetWindowPos(low.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  desk.raise(&high);
  EXPECT_EQ(desk.capture(15, 15, 1, 1).at(0, 0), 0xAA0000u);
  high.hide();
  low.setWidth(0);  // a window of zero size shows nothing
  EXPECT_EQ(desk.capture(15, 15, 1, 1).at(0, 0), 0x111111u);
}

TEST(SimScreen, OffScreenPartsAreNotSeenAndCaptureAsBlack) {
  SimDesktop desk(100, 100, 15);
  desk.fillDesktop(0x222222);
  SimWindow w(desk, character(300, 300));
  fill(w, 0x0000CC);
  w.setLeft(-150);  // x = -10, 20 pixels wide
  w.show();
  const Bitmap c = desk.capture(-5, 0, 20, 1);
  EXPECT_EQ(c.at(0, 0), 0u);  // outside the screen
  EXPECT_EQ(c.at(5, 0), 0x0000CCu);
  EXPECT_EQ(c.at(15, 0), 0x222222u);
}

TEST(SimWindowPosition, ReadsBackAsSetUntilMovedByOtherMeans) {
  SimDesktop desk(1024, 768, 15);
  SimWindow w(desk, character());
  w.setLeft(7648.3f);
  w.setTop(-0.25f);
  EXPECT_EQ(w.left(), 7648.3f);
  EXPECT_EQ(w.top(), -0.25f);
  EXPECT_EQ(w.pixelX(), 510);
  EXPECT_EQ(w.pixelY(), 0);
  w.setLeft(22.5f);  // 1.5 pixels: halves go to even
  EXPECT_EQ(w.pixelX(), 2);
  w.setLeft(37.5f);
  EXPECT_EQ(w.pixelX(), 2);
  w.moveToPixels(100, 50);
  EXPECT_EQ(w.left(), 1500.0f);
  EXPECT_EQ(w.top(), 750.0f);
}

TEST(SimWindowPosition, CollapseKeepsTheBackImage) {
  SimDesktop desk(100, 100, 15);
  SimWindow w(desk, character(150, 150));
  fill(w, 0x123456);
  w.setWidth(0), w.setHeight(0);
  w.setWidth(150), w.setHeight(150);
  w.show();
  EXPECT_EQ(desk.capture(0, 0, 10, 10), Bitmap(10, 10, 0x123456));
}

TEST(SimFocus, OnlyActivatingCallsTakeTheFocus) {
  SimDesktop desk;
  auto editor = desk.openApplicationWindow(0, 0, 10, 10, 0);
  SimWindow w(desk, character());
  w.show();
  desk.SetWindowPos(w.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_EQ(desk.foreground(), editor->hWnd());
  desk.SetWindowPos(w.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_EQ(desk.foreground(), w.hWnd());
}

TEST(SimBitBlt, CopiesClipAndReadTheScreenAsComposed) {
  SimDesktop desk(100, 100, 15);
  desk.fillDesktop(0x010203);
  auto a = desk.createSurface(4, 4);
  EXPECT_TRUE(desk.BitBlt(a->hDC(), 0, 0, 4, 4, kScreenDC, 98, 0, SRCCOPY));
  const Bitmap got = a->read();
  EXPECT_EQ(got.at(1, 0), 0x010203u);
  EXPECT_EQ(got.at(2, 0), 0u);  // beyond the right edge
  // Writing past a surface's edge is clipped, not an overrun.
  EXPECT_TRUE(desk.BitBlt(a->hDC(), 2, 2, 10, 10, kScreenDC, 0, 0, SRCINVERT));
  EXPECT_EQ(a->read().at(3, 3), 0x010203u ^ 0u);
  EXPECT_FALSE(desk.BitBlt(12345, 0, 0, 1, 1, kScreenDC, 0, 0, SRCCOPY));
}

TEST(SimScreenDC, IsCountedUntilReleased) {
  SimDesktop desk;
  const Handle dc = desk.GetDC(0);
  EXPECT_EQ(desk.heldScreenDCs(), 1);
  EXPECT_EQ(desk.ReleaseDC(0, dc), 1);
  EXPECT_EQ(desk.ReleaseDC(0, dc), 0);  // a second release finds nothing held
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_EQ(desk.screenDCsReleased, 2);  // but is seen
}

TEST(SimTimers, TickAtTheirIntervalAndRestartWhenChanged) {
  SimDesktop desk;
  auto t = desk.createTimer(500, true);
  std::vector<long long> at;
  t->onTick = [&] { at.push_back(desk.clock()); };
  desk.advance(1200);
  EXPECT_EQ(at, (std::vector<long long>{500, 1000}));
  t->setInterval(250);  // counts afresh from 1200
  desk.advance(500);
  EXPECT_EQ(at.back(), 1700);
  t->setEnabled(false);
  desk.advance(2000);
  EXPECT_EQ(at.size(), 4u);
  t->setEnabled(true);
  desk.advance(250);
  EXPECT_EQ(at.back(), 3950);
  desk.advance(100);
  t->setEnabled(true);  // already on: the count starts again
  desk.advance(249);
  EXPECT_EQ(at.back(), 3950);
  desk.advance(1);
  EXPECT_EQ(at.back(), 4300);
}

TEST(SimTimers, NeverTickInsideATick) {
  SimDesktop desk;
  auto a = desk.createTimer(100, true);
  auto b = desk.createTimer(30, true);
  int depth = 0, maxDepth = 0, bTicks = 0;
  a->onTick = [&] {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    desk.doEventsPaced(700, 250);  // time passes inside the handler
    --depth;
  };
  b->onTick = [&] {
    ++depth, ++bTicks;
    maxDepth = std::max(maxDepth, depth);
    --depth;
  };
  desk.advance(1000);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GT(bTicks, 0);
  EXPECT_LT(bTicks, 1000 / 30);  // those that fell due inside a tick were dropped
}

TEST(SimTimers, TickRunsInAPassOutsideATickWhenPassesTakeTime) {
  SimDesktop desk;
  desk.passCostMs = 200;
  auto t = desk.createTimer(500, true);
  int ticks = 0;
  t->onTick = [&] { ++ticks; };
  for (int i = 0; i < 3; ++i) desk.doEvents();
  EXPECT_EQ(ticks, 1);
}

TEST(SimEvents, RunAtTheNextPassInOrder) {
  SimDesktop desk;
  std::vector<int> ran;
  desk.post([&] {
    ran.push_back(1);
    desk.post([&] { ran.push_back(3); });  // waits for the following pass
  });
  desk.post([&] { ran.push_back(2); });
  EXPECT_TRUE(ran.empty());
  desk.doEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  desk.doEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(SimEvents, APassInsideAnEventRunsTheEventsWaitingBehindIt) {
  SimDesktop desk;
  std::vector<int> ran;
  desk.post([&] {
    ran.push_back(1);
    desk.doEvents();
    ran.push_back(3);
  });
  desk.post([&] { ran.push_back(2); });
  desk.doEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(SimEvents, NothingRunsAfterTheEnd) {
  SimDesktop desk;
  auto t = desk.createTimer(100, true);
  int ran = 0;
  t->onTick = [&] { ++ran; };
  desk.post([&] { ++ran; });
  desk.end();
  desk.post([&] { ++ran; });
  desk.advance(1000);
  EXPECT_EQ(ran, 0);
  EXPECT_TRUE(desk.ended());
  // A program that went on calling would be caught.
  EXPECT_EQ(desk.callsAfterEnd, 0);
  EXPECT_FALSE(desk.Shell_NotifyIcon(platform::NIM_DELETE, {}));
  EXPECT_EQ(desk.callsAfterEnd, 1);
}

TEST(SimDrag, MovesOnlyWhenTheProgramStartsTheMoveLoop) {
  SimDesktop desk;
  SimWindow w(desk, character());
  w.setLeft(1500), w.setTop(1500);
  w.show();
  auto& area = w.addMouseArea(0, 0, 64, 64);
  bool takeUp = false;
  area.onMouseMove = [&](const MouseEvent& e) {
    if (takeUp && (e.button & LeftButton)) {
      desk.ReleaseCapture();
      desk.SendMessage(w.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
  };
  desk.drag(w, 30, -20);
  desk.advance(10);
  EXPECT_EQ(w.pixelX(), 100);
  takeUp = true;
  desk.drag(w, 30, -20);
  desk.advance(10);
  EXPECT_EQ(w.pixelX(), 130);
  EXPECT_EQ(w.pixelY(), 80);
  EXPECT_EQ(w.left(), 1950.0f);
  // A move loop started without a pressed button follows nothing.
  desk.SendMessage(w.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  EXPECT_EQ(w.pixelX(), 130);
}

TEST(SimTray, ReportsMouseMessagesAsMovesOfTheIconWindow) {
  SimDesktop desk(1024, 768, 12);
  SimWindow w(desk, {"owner", "", WindowKind::Dialog, 100, 100, true});
  std::vector<float> xs;
  w.onMouseMove = [&](const MouseEvent& e) { xs.push_back(e.x); };
  NotifyIconData icon;
  icon.hWnd = w.hWnd();
  icon.uID = 1;
  icon.uCallbackMessage = WM_MOUSEMOVE;
  EXPECT_TRUE(desk.Shell_NotifyIcon(NIM_ADD, icon));
  EXPECT_FALSE(desk.Shell_NotifyIcon(NIM_ADD, icon));  // already there
  desk.trayMouse(514);
  desk.doEvents();
  EXPECT_EQ(xs, (std::vector<float>{514 * 12.0f}));
  EXPECT_TRUE(desk.Shell_NotifyIcon(NIM_DELETE, icon));
  desk.trayMouse(517);
  desk.doEvents();
  EXPECT_EQ(xs.size(), 1u);
}

TEST(SimSystem, SettingsProgramsDirectoriesAndBoxes) {
  SimDesktop desk;
  EXPECT_EQ(desk.getSetting("a", "s", "k", "dflt"), "dflt");
  desk.saveSetting("a", "s", "k", "v");
  EXPECT_EQ(desk.getSetting("a", "s", "k", "dflt"), "v");

  desk.programs.insert("C:\\P\\x.exe");
  EXPECT_TRUE(desk.shell("C:\\P\\x.exe /a", 1));
  EXPECT_FALSE(desk.shell("C:\\P\\x.exe2", 1));
  EXPECT_FALSE(desk.shell("C:\\P\\y.exe", 1));
  EXPECT_EQ(desk.shells.size(), 3u);

  char buf[8] = "OLDTEXT";
  desk.windowsDirectory = "C:\\LONGER";
  EXPECT_EQ(desk.GetWindowsDirectory(buf, sizeof buf), 10u);  // too small: the size needed
  EXPECT_STREQ(buf, "OLDTEXT");

  int seen = 0;
  desk.onMessageBox = [&](const MessageBoxCall& c) {
    seen = c.style + 1;
    return 7;
  };
  EXPECT_EQ(desk.messageBox("t", "T", 0), 7);
  EXPECT_EQ(seen, 1);
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].title, "T");
}

TEST(SimRandom, SameSeedSameSequenceInUnitInterval) {
  SimDesktop a, b;
  a.randomSeed = b.randomSeed = 42;
  a.randomize(), b.randomize();
  for (int i = 0; i < 1000; ++i) {
    const double x = a.rnd();
    EXPECT_EQ(x, b.rnd());
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    ASSERT_LT(static_cast<int>(100 * static_cast<float>(x)), 100);
  }
}

}  // namespace
