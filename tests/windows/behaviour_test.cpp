// The behaviour engine: the scheduler's draws and refusals, the walks and
// the idle actions, draw by draw at the edges of their ranges; the drag.
#include <gtest/gtest.h>

#include <array>

#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;
using namespace platform;

namespace {

class BehaviourTest : public ::testing::Test, public ProgramOnDesktop {
  void SetUp() override { start(); }
};

TEST(Scheduler, EachDrawPicksTheActivityOfItsRange) {
  const std::pair<int, Activity> edges[] = {
      {1, kWalkDown},   {10, kWalkDown},  {11, kWalkUp},   {20, kWalkUp},   {21, kWalkLeft}, {30, kWalkLeft},
      {31, kWalkRight}, {40, kWalkRight}, {41, kWaveHand}, {54, kWaveHand}, {55, kSitDown},  {100, kSitDown}};
  for (const auto& [r, activity] : edges)
    EXPECT_EQ(activityForDraw(static_cast<std::int16_t>(r)), activity) << r;
}

// Five ticks, 160 twips a step from the second on, each showing its cell
// from the first tick on; the steps draw nothing.
TEST_F(BehaviourTest, EachWalkMoves640TwipsThroughItsCells) {
  const std::tuple<int, float, float, std::array<const char*, 5>> cases[] = {
      {5, 0, 160, {"walk 0", "walk 1", "walk 0", "walk 2", "walk 0"}},
      {15, 0, -160, {"walk 3", "walk 4", "walk 3", "walk 5", "walk 3"}},
      {25, -160, 0, {"walk 6", "walk 7", "walk 6", "walk 8", "walk 6"}},
      {35, 160, 0, {"walk 9", "walk 10", "walk 9", "walk 11", "walk 9"}}};
  for (const auto& [draw, dLeft, dTop, cells] : cases) {
    SCOPED_TRACE(draw);
    pekko().setLeft(7648), pekko().setTop(5728);
    script({drawOf(draw, 100)});
    const int draws = desk.randomNumbersDrawn;
    for (int step = 1; step <= 5; ++step) {
      tick();
      EXPECT_EQ(shown(pekko()), cells[step - 1]) << step;
      EXPECT_EQ(pekko().left(), 7648 + dLeft * (step - 1));
      EXPECT_EQ(pekko().top(), 5728 + dTop * (step - 1));
    }
    EXPECT_EQ(app.m.actStep, 0);
    EXPECT_EQ(desk.randomNumbersDrawn, draws + 1);
  }
}

// A walk is refused when his window, moved by two cells (128 pixels, or 0
// for up and left), would reach the screen's edge; reaching exactly counts.
// A refused draw is drawn again in the same tick. At 175 % the sums are
// compared as single-precision numbers: on a 1920 x 1080 screen row 952
// puts Top + 128 pixels exactly on the height once rounded (a hair below
// in wider arithmetic), so it is refused, and row 951 is not.
TEST(WalkRefusal, FromTheLastTwoCellsBeforeAnEdgeAtEveryScale) {
  const float at175 = 1440.0f / 168;  // on 1920 x 1080; the others at 15, 12 and 7.5 on 1024 x 768
  const std::tuple<float, int, int, int, Activity> cases[] = {
      {0, 35, 895, 300, kWalkRight},    {0, 35, 896, 300, kWaveHand},    {0, 35, 960, 300, kWaveHand},
      {0, 5, 300, 639, kWalkDown},      {0, 5, 300, 640, kWaveHand},     {0, 15, 300, 1, kWalkUp},
      {0, 15, 300, 0, kWaveHand},       {0, 25, 1, 300, kWalkLeft},      {0, 25, 0, 300, kWaveHand},
      {at175, 5, 900, 951, kWalkDown},  {at175, 5, 900, 952, kWaveHand}, {at175, 35, 1791, 500, kWalkRight},
      {at175, 35, 1792, 500, kWaveHand}};
  for (const auto& [scale, draw, x, y, started] : cases)
    for (float tpp : scale ? std::vector{scale} : std::vector{15.0f, 12.0f, 7.5f}) {
      SCOPED_TRACE(testing::Message() << tpp << ": " << draw << " at " << x << "," << y);
      ProgramOnDesktop p(tpp, scale ? 1920 : 1024, scale ? 1080 : 768);
      p.start();
      p.pekko().moveToPixels(x, y);  // as a drag leaves him
      p.script({drawOf(draw, 100), drawOf(45, 100)});
      p.tick();
      EXPECT_EQ(p.app.m.actMode, started);
      EXPECT_EQ(p.app.m.actStep, 1);
    }
}

// Tick by tick, with the draw each tick makes (0: none). Hand-raising: 0,
// 1, then 0 again and a draw from 1 to 10: 1 ends it on the open mouth,
// anything else plays 1, 0 again. The sit-down holds two ticks, then draws
// from 1 to 100 every tick: an expression, rer's visit (94, 95: its first
// step in the same tick) or the end (96 on), which keeps the last expression.
TEST_F(BehaviourTest, IdleActionsDrawByDraw) {
  const std::tuple<int, int, const char*, int> ticks[] = {
      {45, 100, "action 0", 1}, {0, 0, "action 1", 2},    {2, 10, "action 0", 1},   {0, 0, "action 1", 2},
      {10, 10, "action 0", 1},  {0, 0, "action 1", 2},    {1, 10, "action 0", 0},   {60, 100, "action 2", 1},
      {0, 0, "action 2", 2},    {1, 100, "action 2", 2},  {50, 100, "action 2", 2}, {51, 100, "action 3", 2},
      {70, 100, "action 3", 2}, {71, 100, "action 4", 2}, {80, 100, "action 4", 2}, {81, 100, "action 5", 2},
      {93, 100, "action 5", 2}, {96, 100, "action 5", 0}, {60, 100, "action 2", 1}, {0, 0, "action 2", 2},
      {95, 100, "action 6", 1}};
  for (const auto& [draw, of, cell, actStep] : ticks) {
    if (draw) script({drawOf(draw, of)});
    tick();
    EXPECT_EQ(shown(pekko()), cell) << draw;
    EXPECT_EQ(app.m.actStep, actStep) << draw;
  }
}

// Any move sets the tip; only a move with the left button held starts the
// system's move loop (the window follows only then), and not during rer's
// visit. Ticks go on in the loop.
TEST(Drag, NeedsTheLeftButtonAndNoVisitAndAWalkGoesOnFromThere) {
  ProgramOnDesktop p;
  p.start();
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(p.app.pekko().Image1());
  auto& timer = static_cast<platform::sim::SimTimer&>(p.app.pekko().Timer1());
  for (int buttons = 0; buttons <= (LeftButton | RightButton | MiddleButton); ++buttons)
    for (bool visit : {false, true}) {
      SCOPED_TRACE(testing::Message() << buttons << (visit ? " in a visit" : ""));
      const bool drags = (buttons & LeftButton) && !visit;
      p.app.m.actMode = visit ? kRionVisit : kWaveHand, p.app.m.actStep = 1;  // ticks never walk
      image1.setToolTipText("");
      const int x = p.pekko().pixelX(), ticks = timer.ticks;
      p.desk.drag(p.pekko(), 20, 0, 1600, buttons);
      p.desk.doEvents();
      EXPECT_EQ(p.pekko().pixelX(), drags ? x + 20 : x);
      EXPECT_EQ(timer.ticks, drags ? ticks + 3 : ticks);
      EXPECT_EQ(image1.toolTipText(), "12月5日(土) 22時7分 だよ");
    }
  EXPECT_EQ(p.desk.releaseCaptures, 4);
  EXPECT_TRUE(p.desk.messageBoxes.empty());
  // A walk reads his place afresh at every step: dragged to pixel (410, 432),
  // 6150 and 6480 twips, he walks on from there.
  p.pekko().setLeft(7650), p.pekko().setTop(5730);
  p.app.m.actMode = kWalkDown, p.app.m.actStep = 2;
  p.desk.drag(p.pekko(), -100, 50);
  p.desk.doEvents();
  p.tick();
  EXPECT_EQ(std::make_pair(p.pekko().left(), p.pekko().top()), std::make_pair(6150.0f, 6480.0f + 160));
}

}  // namespace
