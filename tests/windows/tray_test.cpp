// The notification-area icon, its popup menu and the menu's commands, on the
// simulated desktop.
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;
using platform::sim::MessageBoxCall;
using platform::sim::SimMenu;

namespace {

class TrayTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override {
    desk.onPopup = [this](SimMenu&) { return choice; };
    start();
  }
  int choice = -1;  // what the user picks in the popup
};

TEST(TrayDecoding, EveryMessageComesBackAtEveryScale) {
  // 100 %, 125 %, 150 %, 175 % and 200 %, and a few odd ones.
  for (float tpp : {15.0f, 12.0f, 10.0f, 1440.0f / 168, 7.5f, 1440.0f / 110, 1440.0f / 250}) {
    SCOPED_TRACE(tpp);
    for (int n = 0; n < 1024; ++n) ASSERT_EQ(trayMessageFromX(static_cast<float>(n) * tpp, tpp), n);
  }
  // At a whole factor X is rounded and the quotient truncated, not rounded.
  EXPECT_EQ(trayMessageFromX(7724.4f, 15), 514);
  EXPECT_EQ(trayMessageFromX(7724.5f, 15), 514);  // 7724, halves to even
  EXPECT_EQ(trayMessageFromX(6179.6f, 12), 515);
  EXPECT_EQ(trayMessageFromX(0, 0), 0);  // no factor: nothing
}

TEST_F(TrayTest, ReleasesOnTheIconOpenThePopupAndNothingElseDoes) {
  for (int message : {512, 513, 515, 516, 518, 519, 520, 521}) {
    desk.trayMouse(message);
    desk.doEvents();
    EXPECT_TRUE(desk.popups.empty()) << message;
  }
  desk.cursorX = 1010, desk.cursorY = 755;
  desk.trayMouse(514);
  desk.trayMouse(517);
  desk.doEvents();
  ASSERT_EQ(desk.popups.size(), 2u);
  EXPECT_EQ(desk.popups[0].menu, &app.menu().mfile());
  EXPECT_EQ(desk.popups[0].x, 1010);
  EXPECT_EQ(desk.popups[0].y, 755);
}

TEST_F(TrayTest, PendingEventsRunBeforeThePopupOpens) {
  std::vector<std::string> order;
  desk.onPopup = [&](SimMenu&) {
    order.push_back("popup");
    return -1;
  };
  desk.trayMouse(514);
  desk.post([&] { order.push_back("pending"); });  // waiting behind the callback
  desk.doEvents();
  EXPECT_EQ(order, (std::vector<std::string>{"pending", "popup"}));
}

TEST_F(TrayTest, MenuHasItsNineItemsInOrder) {
  const SimMenu& menu = static_cast<SimMenu&>(app.menu().mfile());
  EXPECT_EQ(menu.title, "FILE");
  std::vector<std::string> captions;
  for (const auto& item : menu.items) captions.push_back(item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"遊びにやる", "-", "日付と時刻の調整", "音量の調節", "-",
                                                "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"}));
}

TEST_F(TrayTest, TheHiddenDialogAddsTheIconOnceWithItsRecordAndTip) {
  EXPECT_FALSE(menu().visible());
  EXPECT_EQ(menu().design.kind, platform::WindowKind::Dialog);
  EXPECT_EQ(menu().width(), 2175.0f);
  ASSERT_EQ(desk.notifyCalls.size(), 1u);
  EXPECT_EQ(desk.notifyCalls[0].message, platform::NIM_ADD);
  ASSERT_EQ(desk.trayIcons.size(), 1u);
  const platform::NotifyIconData& d = desk.trayIcons.begin()->second;
  EXPECT_EQ(d.cbSize, 152u);
  EXPECT_EQ(d.hWnd, menu().hWnd());
  EXPECT_EQ(d.uID, 1u);
  EXPECT_EQ(d.uFlags, 7u);
  EXPECT_EQ(d.uCallbackMessage, 512u);
  EXPECT_NE(d.hIcon, 0u);
  EXPECT_EQ(d.hIcon, menu().icon());
  // The tip, one NUL, then blanks to the field's width.
  ASSERT_EQ(d.szTip.size(), 64u);
  EXPECT_EQ(d.szTip.substr(0, 16), u"クリックするとメニューが出るよ!");
  EXPECT_EQ(d.szTip[16], u'\0');
  EXPECT_EQ(d.szTip.find_first_not_of(u' ', 17), std::u16string::npos);
}

TEST_F(TrayTest, IconComesBackWhenTheNotificationAreaIsRecreated) {
  desk.recreateNotificationArea();
  EXPECT_TRUE(desk.trayIcons.empty());
  desk.doEvents();
  EXPECT_EQ(desk.trayIcons.size(), 1u);
  desk.trayMouse(514);
  desk.doEvents();
  EXPECT_EQ(desk.popups.size(), 1u);
}

// Date and time, and volume, start the tool in the Windows directory, or
// else the system's own, without waiting; with neither nothing shows.
TEST_F(TrayTest, DateTimeAndVolumeStartTheFirstOfTheirToolsThatExists) {
  using Started = std::vector<std::pair<std::string, int>>;  // command line, show mode
  const struct {
    std::set<std::string> programs;
    Started started;
  } cases[] = {
      {{"C:\\WINDOWS\\rundll32.exe", "C:\\WINDOWS\\sndvol32.exe"},
       {{"C:\\WINDOWS\\rundll32.exe shell32.dll,Control_RunDLL C:\\WINDOWS\\SYSTEM\\Timedate.cpl", 2},
        {"C:\\WINDOWS\\sndvol32.exe", 1}}},
      {{"C:\\WINDOWS\\SYSTEM\\control.exe", "C:\\WINDOWS\\SYSTEM\\sndvol.exe"},
       {{"C:\\WINDOWS\\SYSTEM\\control.exe timedate.cpl", 1}, {"C:\\WINDOWS\\SYSTEM\\sndvol.exe", 1}}},
      {{}, {}}};
  const float left = pekko().left();
  for (const auto& c : cases) {
    desk.programs = c.programs;
    desk.shells.clear();
    choice = m3;
    desk.trayMouse(514);
    desk.doEvents();
    choice = m4;
    desk.trayMouse(517);
    desk.doEvents();
    Started started;
    for (const auto& shell : desk.shells)
      if (shell.started) started.emplace_back(shell.commandLine, shell.showMode);
    EXPECT_EQ(started, c.started);
  }
  EXPECT_TRUE(desk.messageBoxes.empty());
  EXPECT_FALSE(menu().visible());
  EXPECT_EQ(pekko().left(), left);
  EXPECT_EQ(desk.trayIcons.size(), 1u);
  EXPECT_EQ(desk.popups.size(), 6u);  // the menu opened every time
}

TEST_F(TrayTest, VersionBoxWhichNoCharacterCovers) {
  choice = mabout;
  bool topmostWhileOpen = true;
  desk.onMessageBox = [&](const MessageBoxCall&) {
    desk.advance(1500);  // frames come meanwhile
    topmostWhileOpen = pekko().topmost;
    return platform::IDOK;
  };
  desk.trayMouse(514);
  desk.doEvents();
  EXPECT_FALSE(topmostWhileOpen);
  EXPECT_TRUE(pekko().topmost);
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].text, "ぴょこぴょこペッコ Ver.1.21");
  EXPECT_EQ(desk.messageBoxes[0].title, "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(desk.messageBoxes[0].style, 0);
}

TEST_F(TrayTest, SeparatorsCannotBeChosen) {
  for (int item : {sep3, sep, sep2}) {
    choice = item;
    desk.trayMouse(514);
    desk.doEvents();
  }
  EXPECT_TRUE(desk.messageBoxes.empty());
  EXPECT_TRUE(desk.shells.empty());
  EXPECT_FALSE(desk.ended());
}

TEST_F(TrayTest, ExitReleasesAHeldContextRemovesTheIconAndEndsWritingNothing) {
  app.m.scrDC = desk.GetDC(0);
  app.m.scrDCHeld = true;
  choice = mend;
  desk.trayMouse(517);
  desk.doEvents();
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_TRUE(desk.trayIcons.empty());
  EXPECT_EQ(desk.notifyCalls.back().message, platform::NIM_DELETE);
  EXPECT_TRUE(desk.ended());
  EXPECT_EQ(desk.callsAfterEnd, 0);  // released and removed before the end, not after
  EXPECT_EQ(desk.settingWrites, 0);
  // No handler runs afterwards: the timer is silent.
  const std::int16_t step = app.m.actStep;
  const int frames = desk.screenDCsObtained;
  desk.advance(5000);
  EXPECT_EQ(app.m.actStep, step);
  EXPECT_EQ(desk.screenDCsObtained, frames);
}

TEST_F(TrayTest, ExitWithNothingHeldReleasesNothing) {
  const int released = desk.screenDCsReleased;
  app.menu().mend_Click();
  EXPECT_EQ(desk.screenDCsReleased, released);
  EXPECT_TRUE(desk.trayIcons.empty());
  EXPECT_TRUE(desk.ended());
}

}  // namespace
