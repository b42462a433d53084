// Program start on the simulated desktop: the load routine's results.
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;

namespace {

class StartupTest : public ::testing::Test, public ProgramOnDesktop {};

TEST_F(StartupTest, PlacesHimNearTheCentreOneCellInSize) {
  start();
  EXPECT_EQ(pekko().left(), 7648.0f);
  EXPECT_EQ(pekko().top(), 5728.0f);
  EXPECT_EQ(pekko().width(), 960.0f);
  EXPECT_EQ(pekko().height(), 960.0f);
  EXPECT_EQ(pekko().pixelX(), 510);  // 509.87 rounded
  EXPECT_EQ(pekko().pixelY(), 382);
  EXPECT_TRUE(pekko().visible());
  EXPECT_TRUE(pekko().topmost);
  EXPECT_EQ(app.m.actMode, 0);
  EXPECT_EQ(app.m.actStep, 0);
  EXPECT_EQ(desk.heldScreenDCs(), 0);
}

TEST_F(StartupTest, ShowsFrontStandingCellOverTheDesktop) {
  desk.fillDesktop(0x3A6EA5);
  start();
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 0, 64, Bitmap(64, 64, 0x3A6EA5)));
}

TEST_F(StartupTest, IsTopmostWithItsFrameBeforeFirstShown) {
  app.pekko().Form_Load();
  EXPECT_FALSE(pekko().visible());
  EXPECT_TRUE(pekko().topmost);
  EXPECT_EQ(pekko().width(), 960.0f);
  pekko().show();
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 0, 64, Bitmap(64, 64, 0x3A6EA5)));
}

TEST_F(StartupTest, ParksTheCompanionHiddenAtTheRightEdge) {
  start();
  ASSERT_TRUE(app.rionExists());
  EXPECT_FALSE(rion().visible());
  EXPECT_EQ(rion().left(), 15360.0f);
  EXPECT_EQ(rion().width(), 10800.0f);  // design size until his first frame
  EXPECT_EQ(rion().height(), 4875.0f);
}

TEST_F(StartupTest, OtherScreenSizesAndResolutions) {
  SimDesktop large(1920, 1080, 12);  // 120 dots per inch
  Program program(large);
  program.start();
  auto& w = static_cast<SimWindow&>(program.pekko().form());
  EXPECT_EQ(w.left(), 1920 * 12 / 2 - 32.0f);
  EXPECT_EQ(w.top(), 1080 * 12 / 2 - 32.0f);
  EXPECT_EQ(w.width(), 768.0f);
  EXPECT_EQ(w.pixelWidth(), 64);
}

TEST_F(StartupTest, ReadsTheStoredRate) {
  struct Case {
    const char* stored;  // nullptr: nothing stored
    std::int16_t rate;
  };
  const std::string longText(100000, '9');
  for (const Case c :
       {Case{nullptr, 10}, Case{"25", 25}, Case{"0", 0}, Case{"100", 100}, Case{"500", 500}, Case{"abc", 10},
        Case{"", 10}, Case{"1e9", 10}, Case{"70000", 10}, Case{"-3", -3}, Case{longText.c_str(), 10}}) {
    SimDesktop d;
    if (c.stored) d.settings["xpekko\\setting\\kakeochiper"] = c.stored;
    Program p(d);
    p.start();
    const std::string what = c.stored ? std::string(c.stored).substr(0, 10) : "(none)";
    EXPECT_EQ(p.m.kakePer, c.rate) << what;
    p.menu().mlove_Click();  // the dialog shows the value the start got
    EXPECT_EQ(p.menu().Text1().text(), std::to_string(c.rate)) << what;
    EXPECT_EQ(d.settingWrites, 0);  // nothing is written back
  }
}

TEST_F(StartupTest, SeedsTheGeneratorOnce) {
  start();
  EXPECT_EQ(desk.randomizeCalls, 1);
}

TEST_F(StartupTest, DirectoriesAreFixedTextsOf255) {
  start();
  EXPECT_EQ(app.m.winDir.size(), 255u);
  EXPECT_EQ(app.m.winDir, fixedText("C:\\WINDOWS", 255));
  EXPECT_EQ(app.m.sysDir, fixedText("C:\\WINDOWS\\SYSTEM", 255));
  EXPECT_EQ(app.m.winDir.find('\0'), std::string::npos);
}

TEST_F(StartupTest, DirectoryOf254FillsAllButTheLastPosition) {
  desk.windowsDirectory = "C:\\" + std::string(251, 'w');
  ASSERT_EQ(desk.windowsDirectory.size(), 254u);
  start();
  EXPECT_EQ(app.m.winDir.substr(0, 254), desk.windowsDirectory);
  EXPECT_EQ(app.m.winDir[254], ' ');
}

TEST_F(StartupTest, FailedOrTooLongDirectoryCallKeepsTheText) {
  desk.windowsDirectory = std::string(255, 'x');  // no room for the NUL: nothing written
  desk.systemDirectory = "D:\\S";
  start();
  EXPECT_EQ(app.m.winDir, std::string(255, ' '));
  EXPECT_EQ(app.m.sysDir, fixedText("D:\\S", 255));

  SimDesktop failing;
  failing.directoryCallsFail = true;
  Program p(failing);
  p.m.sysDir = fixedText("KEPT", 255);
  p.start();
  EXPECT_EQ(p.m.sysDir, fixedText("KEPT", 255));
}

TEST_F(StartupTest, InstallsTheTrayIconLast) {
  start();
  ASSERT_TRUE(app.menuExists());
  EXPECT_FALSE(menu().visible());
  ASSERT_EQ(desk.notifyCalls.size(), 1u);
  EXPECT_EQ(desk.notifyCalls[0].message, platform::NIM_ADD);
  EXPECT_EQ(desk.notifyCalls[0].data.hWnd, menu().hWnd());
}

TEST_F(StartupTest, ASlowFirstFrameLetsTheFirstTickRunInsideIt) {
  // Each event pass takes 200 ms: the first tick falls due in the passes of
  // the first frame, before the tray icon exists.
  desk.passCostMs = 200;
  bool iconWhenTicked = true;
  app.pekko().Timer1().onTick = [&] {
    iconWhenTicked = !desk.trayIcons.empty();
    app.pekko().Timer1_Timer();
  };
  start();
  EXPECT_FALSE(iconWhenTicked);
  EXPECT_EQ(app.m.actStep, 1);  // the tick chose and started an activity
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_EQ(desk.trayIcons.size(), 1u);
  EXPECT_EQ(pekko().width(), 960.0f);
}

}  // namespace
