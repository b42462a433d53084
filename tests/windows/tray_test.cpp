// The notification-area icon, its popup menu and the menu's commands.
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;
using platform::sim::SimMenu;

namespace {

// At 12 twips per pixel, so that the desktop's icon messages, sent as moves
// to X = message x twips per pixel, prove the scale is not taken for 15.
class TrayTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  TrayTest() : ProgramOnDesktop(12) {}
  void SetUp() override { start(); }
  void release(int message = platform::WM_LBUTTONUP) {
    desk.trayMouse(message);
    desk.doEvents();
  }
  int choice = -1;  // what the user picks in the popup
};

// The icon's mouse message arrives as X = message x twips per pixel; at a
// whole factor X is rounded to a whole twip and the quotient truncated.
TEST(TrayDecoding, EveryMessageComesBackAtEveryScale) {
  for (float tpp : {15.0f, 12.0f, 10.0f, 1440.0f / 168, 7.5f, 1440.0f / 110, 1440.0f / 250}) {
    SCOPED_TRACE(tpp);
    for (int n = 0; n < 1024; ++n) ASSERT_EQ(trayMessageFromX(static_cast<float>(n) * tpp, tpp), n);
  }
  EXPECT_EQ(trayMessageFromX(7724.4f, 15), 514);
  EXPECT_EQ(trayMessageFromX(7724.5f, 15), 514);  // 7724, halves to even
  EXPECT_EQ(trayMessageFromX(6179.6f, 12), 515);
  EXPECT_EQ(trayMessageFromX(0, 0), 0);  // no factor: nothing
}

// The hidden dialog owns the icon, with its tip, again once the
// notification area is recreated. Only a release of the left or right
// button opens the menu, at the pointer, after the events already waiting.
// Date and time, and volume, start the tool in the Windows directory, or
// else the system's own, without waiting; with neither nothing shows. The
// version box has its text and title, and no character covers it.
TEST_F(TrayTest, TheIconItsMenuOfNineItemsAndTheirCommands) {
  const platform::NotifyIconData& d = desk.trayIcons.begin()->second;
  EXPECT_EQ(std::make_tuple(d.hWnd, d.uCallbackMessage, d.uFlags), std::make_tuple(menu().hWnd(), 512u, 7u));
  EXPECT_EQ(d.szTip.substr(0, 17), std::u16string(u"クリックするとメニューが出るよ!\0", 17));
  EXPECT_FALSE(menu().visible());
  desk.recreateNotificationArea();
  for (int message : {512, 513, 515, 516, 518, 519, 520, 521}) release(message);
  EXPECT_EQ(desk.trayIcons.size(), 1u);
  EXPECT_TRUE(desk.popups.empty());
  std::vector<std::string> order;
  desk.onPopup = [&](SimMenu&) { return order.push_back("popup"), choice; };
  desk.cursorX = 1010, desk.cursorY = 755;
  desk.trayMouse(514);
  desk.post([&] { order.push_back("pending"); });
  release(517);
  ASSERT_EQ(order, (std::vector<std::string>{"pending", "popup", "popup"}));
  EXPECT_EQ(std::make_pair(desk.popups[0].x, desk.popups[0].y), std::make_pair(1010, 755));
  std::vector<std::string> captions;
  for (const auto& item : desk.popups[0].menu->items) captions.push_back(item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"遊びにやる", "-", "日付と時刻の調整", "音量の調節", "-",
                                                "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"}));
  const std::string W = "C:\\WINDOWS\\", S = W + "SYSTEM\\";
  using Started = std::vector<std::pair<std::string, int>>;  // command line, show mode
  const std::pair<std::set<std::string>, Started> cases[] = {
      {{W + "rundll32.exe", W + "sndvol32.exe"},
       {{W + "rundll32.exe shell32.dll,Control_RunDLL " + S + "Timedate.cpl", 2}, {W + "sndvol32.exe", 1}}},
      {{S + "control.exe", S + "sndvol.exe"}, {{S + "control.exe timedate.cpl", 1}, {S + "sndvol.exe", 1}}},
      {{}, {}}};
  for (const auto& [programs, expected] : cases) {
    desk.programs = programs, desk.shells.clear();
    choice = m3, release();
    choice = m4, release(platform::WM_RBUTTONUP);
    Started started;
    for (const auto& shell : desk.shells)
      if (shell.started) started.emplace_back(shell.commandLine, shell.showMode);
    EXPECT_EQ(started, expected);
  }
  EXPECT_TRUE(desk.messageBoxes.empty());
  bool topmost = true;
  desk.onMessageBox = [&](const platform::sim::MessageBoxCall&) {
    return topmost = pekko().topmost, platform::IDOK;
  };
  choice = mabout, release();
  EXPECT_FALSE(topmost);  // no character covers it
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  const auto& box = desk.messageBoxes[0];
  EXPECT_EQ(std::tie(box.text, box.title, box.style),
            std::make_tuple("ぴょこぴょこペッコ Ver.1.21", "ﾊﾞｰｼﾞｮﾝ情報", 0));
}

}  // namespace
