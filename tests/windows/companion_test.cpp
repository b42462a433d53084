// rer: his window and what he tells, sending ペッコ out and calling him
// back, and the message boxes that no character may cover.
#include <gtest/gtest.h>

#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;
using platform::sim::MessageBoxCall;
using platform::sim::SimMenu;

namespace {

class CompanionTest : public PlainDesktopTest {
 protected:
  std::string mgo() { return app.menu().mfile().caption(::mgo); }
  void chooseMgo() { app.menu().mgo_Click(); }

  // Follows the call back pass by pass: rer's places, where ペッコ was when
  // he reappeared, and whether the timer ever ran meanwhile.
  struct Ride {
    std::vector<float> rerLefts;
    float rerLeftWhenPekkoShown = 0;
    bool timerOn = false;
  };
  void watch(Ride& ride) {
    desk.post([this, &ride] {
      if (!desk.ended() && ride.rerLefts.size() < 1000) watch(ride);
      if (ride.rerLefts.empty() || ride.rerLefts.back() != rion().left())
        ride.rerLefts.push_back(rion().left());
      if (pekko().visible() && ride.rerLeftWhenPekkoShown == 0) ride.rerLeftWhenPekkoShown = rion().left();
      ride.timerOn = ride.timerOn || app.pekko().Timer1().enabled();
    });
  }
};

TEST_F(CompanionTest, RerTellsTheFreeMemoryHoveredWithAnyButtonsOrClicked) {
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(app.rion().Image1());
  rion().show();
  for (int buttons : {0, platform::LeftButton, platform::RightButton | platform::MiddleButton}) {
    image1.setToolTipText("");
    desk.mouseMove(rion(), buttons);
    desk.doEvents();
    EXPECT_EQ(image1.toolTipText(), "リソースの残りは37% だぜ！") << buttons;
  }
  EXPECT_TRUE(desk.sentMessages.empty());                       // no drag of rer
  desk.memory.ullAvailPageFile = desk.memory.ullTotalPageFile;  // figures of the moment
  desk.memory.ullAvailPhys = desk.memory.ullTotalPhys;
  app.pekko().BBfun3(0);
  desk.click(rion());
  desk.doEvents();
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].text, "リソースの残りは100% だぜ！");
  EXPECT_EQ(desk.messageBoxes[0].title, "rer");
}

TEST_F(CompanionTest, SendingOutHidesBothStopsTheTimerAndKeepsTheActivity) {
  for (int draw : {5, 60}) {  // during a walk, during a sit-down
    SCOPED_TRACE(draw);
    app.m.actStep = 0;
    script({drawOf(draw, 100)});
    tick(), tick();
    const std::int16_t mode = app.m.actMode, step = app.m.actStep;
    rion().show();
    chooseMgo();
    EXPECT_EQ(mgo(), "呼び戻す");
    EXPECT_FALSE(pekko().visible());
    EXPECT_FALSE(rion().visible());
    EXPECT_FALSE(app.pekko().Timer1().enabled());
    const int frames = desk.screenDCsObtained;
    desk.advance(5000);
    EXPECT_EQ(desk.screenDCsObtained, frames);  // nothing moves while he is away
    EXPECT_EQ(app.m.actMode, mode);
    EXPECT_EQ(app.m.actStep, step);

    chooseMgo();
    EXPECT_EQ(mgo(), "遊びにやる");
    EXPECT_TRUE(app.pekko().Timer1().enabled());
    script({drawOf(60, 100)});  // whatever the sit-down draws
    tick();
    EXPECT_EQ(app.m.actMode, mode);
    EXPECT_EQ(app.m.actStep, mode == kSitDown ? 2 : step + 1);  // goes on from the next step
  }
}

TEST_F(CompanionTest, CallBackRidesInStopsAtTheCentreAndRidesOffAlone) {
  app.pekko().BBfun3(0);  // rer has his drawn size: 960 x 1380 twips
  const float pekkoLeft = pekko().left(), pekkoTop = pekko().top();
  chooseMgo();
  Ride ride;
  watch(ride);
  chooseMgo();
  EXPECT_EQ(rion().top(), 5070.0f);
  EXPECT_EQ(ride.rerLefts.front(), 15360.0f - 200);
  EXPECT_EQ(ride.rerLeftWhenPekkoShown, 7160.0f);  // 41 steps in
  EXPECT_EQ(rion().left(), -1040.0f);              // 41 steps out
  EXPECT_EQ(ride.rerLefts.size(), 82u);
  EXPECT_TRUE(rion().visible());  // shown, beyond the edge
  EXPECT_FALSE(ride.timerOn);
  EXPECT_TRUE(app.pekko().Timer1().enabled());
  EXPECT_EQ(mgo(), "遊びにやる");
  EXPECT_EQ(pekko().left(), pekkoLeft);
  EXPECT_EQ(pekko().top(), pekkoTop);
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 6, 64, Bitmap(64, 64, kDesk)));
  EXPECT_EQ(desk.heldScreenDCs(), 0);
}

TEST_F(CompanionTest, RerNeverDrawnYetRidesAboveTheCentreLineAndStopsAtTheCentre) {
  ASSERT_EQ(rion().height(), 4875.0f);
  Ride ride;
  watch(ride);
  chooseMgo();  // the caption says he is here: a send out
  chooseMgo();
  EXPECT_EQ(rion().top(), 3322.5f);
  // The first bound comes from the design width (7680 - 5400 = 2280), the
  // others from the drawn one (7200): he stops at the centre all the same.
  EXPECT_EQ(ride.rerLeftWhenPekkoShown, 7160.0f);
  EXPECT_EQ(rion().left(), -1040.0f);
}

TEST_F(CompanionTest, AnyCaptionButExactlySendOutCallsHimBack) {
  for (const char* caption : {"呼び戻す", "遊びにやる ", "", "FILE"}) {
    SCOPED_TRACE(caption);
    app.menu().mfile().setCaption(::mgo, caption);
    chooseMgo();
    EXPECT_EQ(rion().left(), -1040.0f);
    EXPECT_EQ(mgo(), "遊びにやる");
    EXPECT_TRUE(pekko().visible());
  }
}

TEST_F(CompanionTest, ACallBackChosenDuringACallBackRunsWholeInsideIt) {
  chooseMgo();
  bool nested = false;
  desk.post([&] {
    nested = true;
    chooseMgo();  // from the tray menu, during rer's first step
  });
  Ride ride;
  watch(ride);
  desk.setWindowPosCalls.clear();
  chooseMgo();
  EXPECT_TRUE(nested);
  EXPECT_EQ(rion().left(), -1040.0f);
  // The inner one rode in and out; the outer, after its first step, found
  // him past both bounds.
  int rerFrames = 0;
  for (const auto& call : desk.setWindowPosCalls) rerFrames += call.hWnd == rion().hWnd();
  EXPECT_EQ(rerFrames, 1 + 82);
  EXPECT_TRUE(app.pekko().Timer1().enabled());
  EXPECT_EQ(mgo(), "遊びにやる");
  EXPECT_TRUE(pekko().visible());
}

TEST_F(CompanionTest, ACharactersBoxIsNeverCoveredByEitherCharacter) {
  rion().setLeft(8000);
  rion().setTop(3000);
  rion().show();
  app.pekko().BBfun3(0);
  script({drawOf(45, 100)});  // he raises a hand, a frame every tick
  for (platform::Window* clicked :
       {static_cast<platform::Window*>(&pekko()), static_cast<platform::Window*>(&rion())}) {
    int raisedDuringBox = 0, framesDuringBox = 0;
    bool anyTopmost = false;
    desk.onMessageBox = [&](const MessageBoxCall&) {
      const std::size_t calls = desk.setWindowPosCalls.size();
      const int frames = desk.screenDCsObtained;
      desk.advance(2000);  // ticks go on while the box is open
      app.pekko().GoRion();
      framesDuringBox = desk.screenDCsObtained - frames;
      for (std::size_t i = calls; i < desk.setWindowPosCalls.size(); ++i)
        raisedDuringBox += !(desk.setWindowPosCalls[i].flags & platform::SWP_NOZORDER);
      anyTopmost = pekko().topmost || rion().topmost;
      return platform::IDOK;
    };
    desk.click(*clicked);
    desk.doEvents();
    EXPECT_GE(framesDuringBox, 4);
    EXPECT_EQ(raisedDuringBox, 0);
    EXPECT_FALSE(anyTopmost);
    EXPECT_TRUE(pekko().topmost);
    EXPECT_TRUE(rion().topmost);
  }
}

}  // namespace
