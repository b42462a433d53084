// rer: sending ペッコ out and calling him back before rer was ever drawn;
// what the two tell (the clock, the free memory) and the message boxes
// that no character may cover.
#include <gtest/gtest.h>

#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;

namespace {

class CompanionTest : public ::testing::Test, public ProgramOnDesktop {
  void SetUp() override { start(); }
};

// Sent out in the middle of a walk, he stays away with the walk where it
// was; called back before rer has a frame, rer is centred with his design
// height of 4875 twips (5760 - 2437.5) and his first bound comes from the
// design width, but he stops at the centre all the same.
TEST_F(CompanionTest, SendOutKeepsTheWalkAndANeverDrawnRerRidesAboveTheCentre) {
  script({drawOf(5, 100)});
  tick(), tick();
  ASSERT_EQ(app.m.actStep, 2);
  app.menu().mgo_Click();
  EXPECT_EQ(mgo(), "呼び戻す");
  EXPECT_FALSE(pekko().visible() || rion().visible() || app.pekko().Timer1().enabled());
  const int drawn = desk.screenDCsObtained;
  desk.advance(5000);
  EXPECT_EQ(desk.screenDCsObtained, drawn);
  ASSERT_EQ(rion().height(), 4875.0f);
  desk.setWindowPosCalls.clear();
  app.menu().mgo_Click();
  EXPECT_EQ(rion().top(), 3322.5f);
  int frames[2] = {};  // ペッコ's and rer's: 41 steps in to 7160, 41 out to -1040
  for (const auto& call : desk.setWindowPosCalls) ++frames[call.hWnd == rion().hWnd()];
  EXPECT_EQ(std::make_tuple(frames[0], frames[1], rion().left()), std::make_tuple(1 + 41, 41 + 41, -1040.0f));
  EXPECT_EQ(mgo(), "遊びにやる");
  const float top = pekko().top();
  tick();
  EXPECT_EQ(app.m.actStep, 3);  // the walk goes on from its next step
  EXPECT_EQ(pekko().top(), top + 160);
  // Only exactly "遊びにやる" sends him out; any other caption calls back.
  for (const char* caption : {"遊びにやる ", "", "FILE"}) {
    app.menu().mfile().setCaption(::mgo, caption);
    app.menu().mgo_Click();
    EXPECT_EQ(mgo(), "遊びにやる") << caption;
    EXPECT_TRUE(pekko().visible());
  }
}

// Hovered with any buttons, rer tells the free memory; clicked, he shows it
// in a box, as ペッコ does the clock. While his box or ペッコ's is open,
// ticks and rides go on, yet neither character is raised over the box;
// both are topmost again after.
TEST_F(CompanionTest, WhatRerTellsAndBoxesThatNoCharacterCovers) {
  rion().setLeft(8000), rion().setTop(3000), rion().show();
  app.pekko().BBfun3(0);
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(app.rion().Image1());
  for (int buttons : {0, platform::LeftButton, platform::RightButton | platform::MiddleButton}) {
    image1.setToolTipText("");
    desk.mouseMove(rion(), buttons);
    desk.doEvents();
    EXPECT_EQ(image1.toolTipText(), "リソースの残りは37% だぜ！") << buttons;
  }
  EXPECT_TRUE(desk.sentMessages.empty());  // no drag of rer
  desk.memory.ullAvailPageFile = desk.memory.ullTotalPageFile;
  desk.memory.ullAvailPhys = desk.memory.ullTotalPhys;
  script({drawOf(45, 100)});                                         // he raises a hand, a frame every tick
  auto work = desk.openApplicationWindow(0, 0, 300, 200, 0xEEEEEE);  // it has the keyboard
  for (SimWindow* clicked : {&pekko(), &rion()}) {
    int raised = 0, frames = 0;
    bool anyTopmost = true;
    desk.onMessageBox = [&](const platform::sim::MessageBoxCall&) {
      const std::size_t calls = desk.setWindowPosCalls.size();
      const int before = desk.screenDCsObtained;
      desk.advance(2000);
      app.pekko().GoRion();
      frames = desk.screenDCsObtained - before;
      for (std::size_t i = calls; i < desk.setWindowPosCalls.size(); ++i)
        raised += !(desk.setWindowPosCalls[i].flags & platform::SWP_NOZORDER);
      anyTopmost = pekko().topmost || rion().topmost;
      return platform::IDOK;
    };
    desk.click(*clicked, 63, 63);  // the far corner of the cell is still him
    desk.doEvents();
    EXPECT_EQ(std::make_tuple(frames >= 4, raised, anyTopmost), std::make_tuple(true, 0, false));
    EXPECT_TRUE(pekko().topmost && rion().topmost);
  }
  EXPECT_EQ(desk.foreground(), work->hWnd());
  ASSERT_EQ(desk.messageBoxes.size(), 2u);
  const auto& [clock, memory] = std::tie(desk.messageBoxes[0], desk.messageBoxes[1]);
  EXPECT_EQ(std::tie(clock.text, clock.title, clock.style),
            std::make_tuple("12月5日(土) 22時7分 だよ", "ペッコ", platform::MB_OK));
  EXPECT_EQ(std::tie(memory.text, memory.title), std::make_tuple("リソースの残りは100% だぜ！", "rer"));
}

}  // namespace
