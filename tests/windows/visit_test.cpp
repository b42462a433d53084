// rer's visit on the simulated desktop: the positions of the worked
// example, the timer at every step, the elopement rate, and the chat's
// draws at their edges.
#include <gtest/gtest.h>

#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;

namespace {

class VisitTest : public PlainDesktopTest {
 protected:
  void SetUp() override {
    PlainDesktopTest::SetUp();
    pekko().setLeft(7200);
    pekko().setTop(5280);
  }
  platform::Timer& timer() { return app.pekko().Timer1(); }
  std::string mgo() { return app.menu().mfile().caption(::mgo); }

  // The sit-down, and at its third tick the draw that starts the visit;
  // counts rer's ride steps in the arrival.
  int startVisit() {
    script({drawOf(60, 100)});
    tick(), tick();
    script({drawOf(94, 100)});
    return ridden([&] { tick(); });
  }
  // The chat: `faces` ticks of ordinary faces, then the draw that ends it.
  void chat(int faces) {
    for (int i = 0; i < faces; ++i) {
      script({drawOf(2, 50), drawOf(20, 50), drawOf(20, 50)});
      tick();
    }
    script({drawOf(1, 50)});
    tick();
  }
  // rer's ride steps taken while `f` runs, and whether the timer was on
  // during any of them.
  int ridden(const std::function<void()>& f) {
    int steps = 0;
    float last = rion().left();
    timerOnWhileRiding = false;
    std::function<void()> watch = [&] {
      if (rion().left() != last) ++steps, last = rion().left(), timerOnWhileRiding |= timer().enabled();
      if (!done) desk.post(watch);
    };
    done = false;
    desk.post(watch);
    f();
    done = true;
    desk.doEvents();
    return steps;
  }
  // ペッコ's frame, as his window holds it, is `cell` over the plain
  // desktop: rer, whose window overlaps his, was out of the way when
  // ペッコ's background was taken.
  void expectPekkoAloneOverDesktop(int cell) {
    ASSERT_LT(rion().pixelX(), pekko().pixelX() + 64);  // they overlap
    const Bitmap expected = composite(sheet(Picture::rPic2), cell, 64, Bitmap(64, 64, kDesk));
    Bitmap held(64, 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) held.at(x, y) = pekko().back.at(x, y);
    EXPECT_EQ(held, expected);
  }
  bool done = true;
  bool timerOnWhileRiding = false;
};

TEST_F(VisitTest, WorkedExampleStepByStepToTheLoneDeparture) {
  EXPECT_EQ(startVisit(), 35);
  EXPECT_EQ(app.m.actMode, kRionVisit);
  EXPECT_EQ(app.m.actStep, 1);
  EXPECT_EQ(rion().top(), 5100.0f);
  EXPECT_EQ(rion().left(), 8360.0f);
  EXPECT_TRUE(rion().visible());
  EXPECT_FALSE(timerOnWhileRiding);
  EXPECT_TRUE(timer().enabled());
  EXPECT_EQ(timer().interval(), 500);
  EXPECT_EQ(onScreen(rion(), 92), composite(sheet(Picture::rPic3), 1, 92, Bitmap(64, 92, kDesk)));

  // The walk-up: step, rer's Left and Top, interval.
  const struct {
    int step;
    float left, top;
    int interval;
  } walkUp[] = {{2, 8240, 5100, 250},  {3, 8080, 5100, 250}, {4, 7920, 5100, 250},
                {5, 7760, 5100, 1000}, {6, 7760, 5010, 500}, {7, 7760, 5010, 500}};
  for (const auto& w : walkUp) {
    tick();
    SCOPED_TRACE(w.step);
    EXPECT_EQ(app.m.actStep, w.step);
    EXPECT_EQ(rion().left(), w.left);
    EXPECT_EQ(rion().top(), w.top);
    EXPECT_EQ(timer().interval(), w.interval);
    EXPECT_TRUE(timer().enabled());
  }
  chat(3);
  EXPECT_EQ(app.m.actStep, 8);
  EXPECT_EQ(timer().interval(), 500);

  script({drawOf(11, 100)});  // above the default rate of 10: he rides off alone
  EXPECT_EQ(ridden([&] { tick(); }), 44);
  EXPECT_EQ(rion().top(), 5490.0f);
  EXPECT_EQ(rion().left(), -1040.0f);
  EXPECT_TRUE(rion().visible());
  EXPECT_FALSE(timerOnWhileRiding);
  EXPECT_TRUE(timer().enabled());
  EXPECT_EQ(app.m.actStep, 0);
  EXPECT_EQ(pekko().left(), 7200.0f);
  EXPECT_EQ(pekko().top(), 5280.0f);
  EXPECT_TRUE(pekko().visible());
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic2), 11, 64, Bitmap(64, 64, kDesk)));
  script({drawOf(45, 100)});
  tick();
  EXPECT_EQ(app.m.actMode, kWaveHand);  // the next tick chooses anew
}

TEST_F(VisitTest, WorkedExampleOfTheElopementUntilTheCallBack) {
  startVisit();
  for (int i = 0; i < 6; ++i) tick();
  chat(0);  // the chat ends at its first tick: the farewell comes at 500 ms
  EXPECT_EQ(timer().interval(), 500);
  script({drawOf(10, 100)});
  EXPECT_EQ(ridden([&] { tick(); }), 10);
  EXPECT_TRUE(timerOnWhileRiding);  // the timer stays on through these two loops
  EXPECT_EQ(rion().left(), 5760.0f);
  EXPECT_EQ(pekko().top(), 5680.0f);
  EXPECT_EQ(timer().interval(), 2000);
  EXPECT_EQ(app.m.actStep, 9);

  const struct {
    int step;
    float pekkoLeft;
    int interval;
  } together[] = {{10, 7200, 500}, {11, 7200, 500}, {12, 7040, 250},
                  {13, 6880, 250}, {14, 6720, 250}, {15, 6560, 250}};
  for (const auto& t : together) {
    tick();
    SCOPED_TRACE(t.step);
    EXPECT_EQ(app.m.actStep, t.step);
    EXPECT_EQ(pekko().left(), t.pekkoLeft);
    EXPECT_EQ(timer().interval(), t.interval);
    EXPECT_TRUE(timer().enabled());
  }
  EXPECT_EQ(ridden([&] { tick(); }), 34);
  EXPECT_FALSE(timerOnWhileRiding);
  EXPECT_EQ(rion().left(), -1040.0f);
  EXPECT_TRUE(rion().visible());
  EXPECT_FALSE(pekko().visible());
  EXPECT_FALSE(timer().enabled());
  EXPECT_EQ(timer().interval(), 500);
  EXPECT_EQ(mgo(), "呼び戻す");
  EXPECT_EQ(app.m.actMode, kRionVisit);
  EXPECT_EQ(app.m.actStep, 0);

  // Nothing happens until he is called back; then the first tick chooses.
  const int frames = desk.screenDCsObtained;
  desk.advance(10000);
  EXPECT_EQ(desk.screenDCsObtained, frames);
  app.menu().mgo_Click();
  EXPECT_TRUE(pekko().visible());
  EXPECT_EQ(pekko().left(), 6560.0f);
  // Until that tick he is still on his visit: a drag is refused.
  desk.drag(pekko(), 30, 30);
  desk.doEvents();
  EXPECT_EQ(pekko().left(), 6560.0f);
  script({drawOf(45, 100)});
  tick();
  EXPECT_EQ(app.m.actMode, kWaveHand);
}

TEST_F(VisitTest, TheRateDecidesTheEnding) {
  const struct {
    std::int16_t rate;
    int draw;
    bool elopes;
  } cases[] = {{0, 1, false}, {100, 100, true}, {10, 10, true}, {10, 11, false}, {150, 100, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << ", draw " << c.draw);
    app.m.actMode = kRionVisit;
    app.m.actStep = 8;
    app.m.kakePer = c.rate;
    timer().setEnabled(true);
    rion().setLeft(7000);
    script({drawOf(c.draw, 100)});
    app.pekko().Timer1_Timer();
    EXPECT_EQ(app.m.actStep, c.elopes ? 9 : 0);
    EXPECT_EQ(timer().interval(), c.elopes ? 2000 : 500);
    timer().setInterval(500);
  }
}

TEST_F(VisitTest, WithPekkoAtTheRightEdgeRerArrivesWithoutARideStep) {
  pekko().setLeft(15360 - 80 * 15);  // his left edge plus 80 pixels is the screen's edge
  EXPECT_EQ(startVisit(), 0);
  EXPECT_EQ(rion().left(), 15360.0f);
  EXPECT_TRUE(rion().visible());
  tick();
  EXPECT_EQ(rion().left(), 15360.0f - 160);
}

TEST_F(VisitTest, ABlushKeepsTheSlowPaceAfterAndIsClearedInTheNextVisit) {
  startVisit();
  for (int i = 0; i < 6; ++i) tick();
  script({drawOf(2, 50), drawOf(9, 50), drawOf(9, 50)});  // both below 10: a blush
  tick();
  EXPECT_EQ(app.pekko().blushShown(), 1);
  EXPECT_EQ(timer().interval(), 1000);
  expectPekkoAloneOverDesktop(10);  // rer was taken away before ペッコ's capture
  chat(0);
  script({drawOf(50, 100)});
  tick();  // a lone departure
  EXPECT_EQ(app.m.actStep, 0);
  EXPECT_EQ(timer().interval(), 1000);  // kept until the next visit sets it
  script({drawOf(45, 100)});
  const long long t = desk.clock();
  tick();
  EXPECT_EQ(desk.clock() - t, 1000);
  EXPECT_EQ(app.pekko().blushShown(), 1);

  // The next visit's first ordinary chat frame takes rer away before ペッコ
  // is drawn: ペッコ's frame, which rer overlaps, shows only the desktop.
  app.m.actStep = 0;
  pekko().setLeft(7200);
  startVisit();
  for (int i = 0; i < 6; ++i) tick();
  script({drawOf(2, 50), drawOf(20, 50), drawOf(20, 50)});
  tick();
  EXPECT_EQ(app.pekko().blushShown(), 0);
  EXPECT_EQ(timer().interval(), 500);
  expectPekkoAloneOverDesktop(2);
}

// Nothing in the visit guards against what runs in its yields: a send out
// during the arrival, clicks on both, a call back during the chat. None of
// it may crash, leave a context held or a window half drawn, or nest a tick.
TEST_F(VisitTest, EventsInItsYieldsLeaveEverythingWhole) {
  int boxes = 0;
  desk.onMessageBox = [&](const platform::sim::MessageBoxCall&) {
    ++boxes;
    desk.advance(700);  // ticks come while the box is open
    return platform::IDOK;
  };
  desk.post([&] { app.menu().mgo_Click(); });  // runs in the arrival's first frame
  startVisit();
  EXPECT_EQ(mgo(), "呼び戻す");
  desk.randomSeed = 99;
  desk.randomize();
  for (int i = 0; i < 200; ++i) {
    if (i == 60) desk.click(rion()), desk.click(pekko());
    if (i == 30) desk.post([&] { app.menu().mgo_Click(); });
    tick();
    SCOPED_TRACE(i);
    ASSERT_EQ(desk.heldScreenDCs(), 0);
    ASSERT_FALSE(desk.inTick());
    for (SimWindow* w : {&pekko(), &rion()})
      if (w->visible() && w->width() != 0) {
        ASSERT_EQ(w->pixelWidth(), 64);
        ASSERT_EQ(w->pixelHeight(), w == &pekko() ? 64 : 92);
      }
  }
  EXPECT_EQ(boxes, 2);
}

// The end-to-end tests start the real program with this seed to meet rer
// at once: on a 1024 x 768 screen at 15 twips per pixel the visit starts at
// the third tick and the chat lasts a good while. Should the program come to
// draw its numbers differently, pick a new seed and change it there too.
TEST(VisitSeed, TheEndToEndTestsSeedBringsRerAtTheThirdTick) {
  SimDesktop desk(1024, 768, 15);
  desk.randomSeed = 6995;
  Program app(desk);
  app.start();
  int visitTick = 0, farewellTick = 0;
  for (int t = 1; t <= 60 && !farewellTick; ++t) {
    desk.advance(app.pekko().Timer1().interval());
    if (app.m.actMode == kRionVisit && !visitTick) visitTick = t;
    if (app.m.actStep == 9) farewellTick = t;
  }
  EXPECT_EQ(visitTick, 3);
  EXPECT_EQ(farewellTick, 36);
}

// A chat frame: the draws after the one that keeps the chat going pick the
// two faces, and both below 10 make a blush, held for a second.
TEST_F(VisitTest, TheChatsDrawsPickTheFacesAndBothBelowTenBlush) {
  rion().setLeft(3000);
  rion().setTop(3000);
  rion().show();
  const struct {
    int p, q, pekkoCell, rionCell;
  } cases[] = {{9, 9, 10, 7},  {10, 9, 2, 4},  {9, 10, 2, 4},  {30, 40, 2, 4},
               {31, 41, 8, 5}, {40, 45, 8, 5}, {41, 46, 9, 6}, {50, 50, 9, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p << ", " << c.q);
    app.m.actMode = kRionVisit;
    app.m.actStep = 7;
    script({drawOf(2, 50), drawOf(c.p, 50), drawOf(c.q, 50)});
    app.pekko().Timer1_Timer();
    const bool blush = c.pekkoCell == 10;
    EXPECT_EQ(app.m.actStep, 7);  // the chat again at the next tick
    EXPECT_EQ(app.pekko().blushShown(), blush ? 1 : 0);
    EXPECT_EQ(timer().interval(), blush ? 1000 : 500);
    EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic2), c.pekkoCell, 64, Bitmap(64, 64, kDesk)));
    EXPECT_EQ(onScreen(rion(), 92), composite(sheet(Picture::rPic3), c.rionCell, 92, Bitmap(64, 92, kDesk)));
  }
}

}  // namespace
