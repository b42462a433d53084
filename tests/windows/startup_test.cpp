// Program start on the simulated desktop: the load routine's results. Where
// he stands and what he shows at each scale is in scale_test.cpp.
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;

namespace {

class StartupTest : public ::testing::Test, public ProgramOnDesktop {};

TEST_F(StartupTest, ShowsHimTopmostAndIdleWithTheCompanionParkedHidden) {
  start();
  EXPECT_TRUE(pekko().visible());
  EXPECT_TRUE(pekko().topmost);
  EXPECT_EQ(app.m.actMode, 0);
  EXPECT_EQ(app.m.actStep, 0);
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_EQ(desk.randomizeCalls, 1);  // seeded once
  ASSERT_TRUE(app.rionExists());
  EXPECT_FALSE(rion().visible());
  EXPECT_EQ(rion().width(), 10800.0f);  // design size until his first frame
  EXPECT_EQ(rion().height(), 4875.0f);
}

TEST_F(StartupTest, IsTopmostWithItsFrameBeforeFirstShown) {
  desk.fillDesktop(0x3A6EA5);
  app.pekko().Form_Load();
  EXPECT_FALSE(pekko().visible());
  EXPECT_TRUE(pekko().topmost);
  pekko().show();
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 0, 64, Bitmap(64, 64, 0x3A6EA5)));
}

// The dialog shows the rate the start read; the parsing itself is in
// module1_test.cpp.
TEST(StartupRate, ReadsTheStoredRateAndWritesNothingBack) {
  const std::string longText(100000, '9');
  const std::pair<const char*, std::int16_t> cases[] = {
      {nullptr, 10}, {"25", 25}, {"500", 500}, {"abc", 10}, {longText.c_str(), 10}};
  for (const auto& [stored, rate] : cases) {
    SCOPED_TRACE(stored ? std::string(stored).substr(0, 10) : "(none)");
    SimDesktop d;
    if (stored) d.settings["xpekko\\setting\\kakeochiper"] = stored;
    Program p(d);
    p.start();
    EXPECT_EQ(p.m.kakePer, rate);
    p.menu().mlove_Click();
    EXPECT_EQ(p.menu().Text1().text(), std::to_string(rate));
    EXPECT_EQ(p.menu().Command1().enabled(), rate <= 100);  // out of range: open, but OK disabled
    EXPECT_EQ(d.settingWrites, 0);
  }
}

// The directories are blank-padded texts of 255; a call that fails, or has
// no room for the NUL, leaves the text as it was.
TEST(StartupDirectories, AreTextsOf255KeptWhenTheCallWritesNothing) {
  const std::string kept = fixedText("KEPT", 255), of254 = "C:\\" + std::string(251, 'w');
  const struct {
    std::string windows;
    bool fails;
    std::string winDir, sysDir;
  } cases[] = {{"C:\\WINDOWS", false, fixedText("C:\\WINDOWS", 255), fixedText("C:\\WINDOWS\\SYSTEM", 255)},
               {of254, false, of254 + " ", fixedText("C:\\WINDOWS\\SYSTEM", 255)},
               {std::string(255, 'x'), false, kept, fixedText("C:\\WINDOWS\\SYSTEM", 255)},
               {"C:\\WINDOWS", true, kept, kept}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windows.size());
    SimDesktop d;
    d.windowsDirectory = c.windows;
    d.directoryCallsFail = c.fails;
    Program p(d);
    p.m.winDir = p.m.sysDir = kept;
    p.start();
    EXPECT_EQ(p.m.winDir, c.winDir);
    EXPECT_EQ(p.m.sysDir, c.sysDir);
  }
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
