// The scheduler's draws and refusals, walks, idle actions, the drag.
#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;
using namespace platform;

namespace {

// Each draw picks its range's activity. A walk is refused (drawn again in the
// tick) when his window moved by 128 pixels (0 up and left) would reach the
// edge, exactly counting: at 175 % on 1920 x 1080 row 952 reaches it in single
// precision only (a hair below in wider arithmetic), so it is refused; 951 not.
TEST(Scheduler, EachDrawPicksItsActivityAndAWalkIsRefusedFromTheLastTwoCellsBeforeAnEdgeAtEveryScale) {
  const std::pair<std::int16_t, Activity> edges[] = {
      {1, kWalkDown},   {10, kWalkDown},  {11, kWalkUp},   {20, kWalkUp},   {21, kWalkLeft}, {30, kWalkLeft},
      {31, kWalkRight}, {40, kWalkRight}, {41, kWaveHand}, {54, kWaveHand}, {55, kSitDown},  {100, kSitDown}};
  for (const auto& [r, activity] : edges) EXPECT_EQ(activityForDraw(r), activity) << r;
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
      p.start(), p.pekko().moveToPixels(x, y);  // as a drag leaves him
      p.script({drawOf(draw, 100), drawOf(45, 100)}), p.tick();
      EXPECT_EQ(std::make_tuple(p.app.m.actMode, p.app.m.actStep), std::make_tuple(started, 1));
    }
}

class BehaviourTest : public ::testing::Test, public ProgramOnDesktop {};

// Each walk: five ticks, 160 twips a step from the second on; the steps draw
// nothing. Then each tick's draw (0: none). Hand-raising: 0, 1, 0 and a draw
// of 1..10: 1 ends it on the open mouth, else 1, 0 again. The sit-down holds
// two ticks, then draws 1..100: an expression, rer's visit (94, 95: its first
// step in the same tick) or the end (96 on), keeping the last expression.
// Then the drag: any move sets the tip; only the left button, outside a
// visit, starts the system's move loop, in which ticks go on.
TEST_F(BehaviourTest, WalksIdleActionsDrawByDrawAndTheDrag) {
  start();
  const std::tuple<int, float, float, int> walks[] = {
      {5, 0, 160, 0}, {15, 0, -160, 3}, {25, -160, 0, 6}, {35, 160, 0, 9}};
  const int turn[] = {0, 1, 0, 2, 0};  // from each walk's first cell
  for (const auto& [draw, dLeft, dTop, first] : walks) {
    SCOPED_TRACE(draw);
    pekko().setLeft(7648), pekko().setTop(5728), script({drawOf(draw, 100)});
    const int draws = desk.randomNumbersDrawn;
    for (int step = 0; step < 5; ++step) {
      tick();
      EXPECT_EQ(std::make_tuple(shown(pekko()), pekko().left(), pekko().top()),
                std::make_tuple("walk " + std::to_string(first + turn[step]), 7648 + dLeft * step,
                                5728 + dTop * step))
          << step;
    }
    EXPECT_EQ(std::make_tuple(app.m.actStep, desk.randomNumbersDrawn), std::make_tuple(0, draws + 1));
  }
  const std::tuple<int, int, const char*, int> idle[] = {
      {45, 100, "action 0", 1}, {0, 0, "action 1", 2},    {2, 10, "action 0", 1},   {0, 0, "action 1", 2},
      {10, 10, "action 0", 1},  {0, 0, "action 1", 2},    {1, 10, "action 0", 0},   {60, 100, "action 2", 1},
      {0, 0, "action 2", 2},    {1, 100, "action 2", 2},  {50, 100, "action 2", 2}, {51, 100, "action 3", 2},
      {70, 100, "action 3", 2}, {71, 100, "action 4", 2}, {80, 100, "action 4", 2}, {81, 100, "action 5", 2},
      {93, 100, "action 5", 2}, {96, 100, "action 5", 0}, {60, 100, "action 2", 1}, {0, 0, "action 2", 2},
      {95, 100, "action 6", 1}};
  for (const auto& [draw, of, cell, actStep] : idle) {
    if (draw) script({drawOf(draw, of)});
    tick();
    EXPECT_EQ(std::make_tuple(shown(pekko()), app.m.actStep), std::make_tuple(std::string(cell), actStep))
        << draw;
  }
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(app.pekko().Image1());
  auto& timer = static_cast<platform::sim::SimTimer&>(app.pekko().Timer1());
  for (int buttons = 0; buttons <= (LeftButton | RightButton | MiddleButton); ++buttons)
    for (bool visit : {false, true}) {
      SCOPED_TRACE(testing::Message() << buttons << (visit ? " in a visit" : ""));
      const bool drags = (buttons & LeftButton) && !visit;
      app.m.actMode = visit ? kRionVisit : kWaveHand, app.m.actStep = 1;  // ticks never walk
      image1.setToolTipText("");
      const int x = pekko().pixelX(), before = timer.ticks;
      desk.drag(pekko(), 20, 0, 1600, buttons), desk.doEvents();
      EXPECT_EQ(std::make_tuple(pekko().pixelX(), timer.ticks, image1.toolTipText()),
                std::make_tuple(x + 20 * drags, before + 3 * drags, std::string("12月5日(土) 22時7分 だよ")));
    }
  EXPECT_EQ(std::make_pair(desk.releaseCaptures, desk.messageBoxes.empty()), std::make_pair(4, true));
  // A walk reads his place afresh: dragged to pixel (410, 432) he walks on from there.
  pekko().setLeft(7650), pekko().setTop(5730), app.m.actMode = kWalkDown, app.m.actStep = 2;
  desk.drag(pekko(), -100, 50), desk.doEvents(), tick();
  EXPECT_EQ(std::make_pair(pekko().left(), pekko().top()), std::make_pair(6150.0f, 6480.0f + 160));
}

}  // namespace
