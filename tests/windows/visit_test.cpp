// rer's visit and the call back step by step at several scales (to the twip at
// 15 twips per pixel, to the pixel at the others); the chat, the rate, boxes.
#include <cmath>
#include <map>

#include "platform/twips.h"
#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;

namespace {

// Ride steps of 200 twips from `from` until rer's left edge reaches `bound`.
int ridesTo(float from, float bound) {
  return std::max(0, static_cast<int>(std::ceil((from - bound) / 200.0)));
}

// Twips per pixel, ペッコ's x in pixels (y 352) and the screen's width. At
// x 944 rer arrives exactly at his bound, before a ride step; from x 472 he
// rides off exactly onto his bound, from 486 to a pixel short of it (with
// the width 1056 so does the call back, both ways).
struct Scale {
  float t;
  int x, w = 1024;
};
void PrintTo(const Scale& s, std::ostream* os) {
  *os << "tpp" << int(s.t * 100) << "_x" << s.x << "_w" << s.w;
}

class VisitAtScale : public ::testing::TestWithParam<Scale>, public ProgramOnDesktop {
 protected:
  VisitAtScale() : ProgramOnDesktop(GetParam().t, GetParam().w) {}
  int down = 0;  // the ride step during which ペッコ last moved down
  // rer's ride steps left during `f`, his cell before the first, timer on during any.
  std::tuple<int, std::string, bool> ridden(const std::function<void()>& f) {
    int steps = 0;
    float last = rion().left(), top = pekko().top();
    bool done = false, timerOn = false;
    std::string cell;
    std::function<void()> watch = [&] {
      const bool moved = rion().left() < last;
      if (moved && steps++ == 0) cell = shown(rion());
      timerOn |= moved && timer().enabled(), last = rion().left();
      if (pekko().top() != top) down = steps, top = pekko().top();
      if (!done) desk.post(watch);
    };
    desk.post(watch), f(), done = true, desk.doEvents();
    return {steps, cell, timerOn};
  }
  // Places in twips at 15 twips per pixel.
  struct Row {
    int actStep;
    const char *pekkoCell, *rerCell;
    float rerLeft, rerTop, pekkoLeft, pekkoTop;
    int interval;
  };
  void expect(const Row& r) {
    SCOPED_TRACE(testing::Message() << "step " << r.actStep);
    EXPECT_EQ(std::make_tuple(app.m.actStep, shown(pekko()), shown(rion()), timer().interval()),
              std::make_tuple(r.actStep, std::string(r.pekkoCell), std::string(r.rerCell), r.interval));
    const auto px = [](float twips) { return platform::toPixels(twips, 15); };
    EXPECT_EQ(std::make_tuple(rion().pixelX(), rion().pixelY(), pekko().pixelX(), pekko().pixelY()),
              std::make_tuple(px(r.rerLeft), px(r.rerTop), px(r.pekkoLeft), px(r.pekkoTop)));
    if (GetParam().t != 15) return;
    EXPECT_EQ(std::make_tuple(rion().left(), rion().top(), pekko().left(), pekko().top()),
              std::make_tuple(r.rerLeft, r.rerTop, r.pekkoLeft, r.pekkoTop));
  }
};

// A lone departure, an elopement, then the call back: cells, places, timer
// and ride steps at every step.
TEST_P(VisitAtScale, BothEndingsAndTheCallBackStepByStep) {
  const float t = 15, W = GetParam().w * t, H = 768 * t, PL = GetParam().x * t, PT = 352 * t;
  const float a = PL + 80 * t, off = -64 * t;  // where rer stops riding in; wholly off the left edge
  const float centre = W / 2 - 32 * t, top1 = PT - 12 * t, top6 = top1 - 6 * t, top9 = top6 + 32 * t;
  const int arrival = ridesTo(W, a), departure = ridesTo(a - 640, off), rideOff = ridesTo(a - 2640, off);
  const int in = ridesTo(W, centre), out = ridesTo(W - 200 * in, off);
  // The ride counts by hand; every place is checked to the twip at 15.
  const std::map<int, std::tuple<int, int, int, int, int>> counts{{480, {35, 44, 34, 41, 41}},
                                                                  {944, {0, 79, 69, 41, 41}},
                                                                  {472, {36, 43, 33, 41, 41}},
                                                                  {486, {37, 45, 35, 42, 42}}};
  EXPECT_EQ(std::make_tuple(arrival, departure, rideOff, in, out), counts.at(GetParam().x));
  desk.fillDesktop(kDesk), start(), pekko().moveToPixels(GetParam().x, 352);
  for (bool elope : {false, true}) {
    SCOPED_TRACE(elope ? "elopement" : "lone departure");
    app.m.actMode = kSitDown, app.m.actStep = 2, script({drawOf(94, 100)});  // the visit starts this tick
    const auto [steps, cell, timerOn] = ridden([&] { tick(); });
    EXPECT_EQ(std::make_pair(steps, timerOn), std::make_pair(arrival, false));
    expect({1, "action 6", "rer 1", W - 200 * arrival, top1, PL, PT, elope ? 1000 : 500});
    const Row walkUp[] = {{2, "walk 9", "rer 2", a - 160, top1, PL, PT, 250},
                          {3, "walk 9", "rer 1", a - 320, top1, PL, PT, 250},
                          {4, "walk 9", "rer 3", a - 480, top1, PL, PT, 250},
                          {5, "action 7", "rer 1", a - 640, top1, PL, PT, 1000},
                          {6, "action 2", "rer 4", a - 640, top6, PL, PT, 500},
                          {7, "action 2", "rer 4", a - 640, top6, PL, PT, 500}};
    for (const Row& r : walkUp) tick(), expect(r);
    // A chat frame: a blush before the lone departure (its slow pace kept
    // into the next visit); an ordinary frame before the elopement.
    const char *face = elope ? "action 8" : "action 10", *rerFace = elope ? "rer 5" : "rer 7";
    script({drawOf(2, 50), drawOf(elope ? 35 : 5, 50), drawOf(elope ? 43 : 5, 50)}), tick();
    expect({7, face, rerFace, a - 640, top6, PL, PT, elope ? 500 : 1000});
    script({drawOf(1, 50)}), tick();  // the chat ends, drawing nothing
    expect({8, face, rerFace, a - 640, top6, PL, PT, elope ? 500 : 1000});
    script({drawOf(elope ? 10 : 11, 100)});  // against the default rate of 10
    if (!elope) {
      EXPECT_EQ(ridden([&] { tick(); }), std::make_tuple(departure, "rer 0", false));
      expect({0, "action 11", "rer 0", a - 640 - 200 * departure, top9, PL, PT, 1000});
      EXPECT_TRUE(timer().enabled() && rion().visible() && pekko().visible());
      continue;
    }
    EXPECT_EQ(ridden([&] { tick(); }), std::make_tuple(10, "rer 0", true));  // the timer on through two loops
    EXPECT_EQ(down, 5);  // onto the board after the fifth step
    const float R = a - 2640, PT2 = PT + 400;
    expect({9, "action 12", "rer 8", R, top9, PL, PT2, 2000});
    const Row together[] = {{10, "action 12", "rer 9", R, top9, PL, PT2, 500},
                            {11, "action 13", "rer 9", R, top9, PL, PT2, 500},
                            {12, "walk 7", "rer 9", R, top9, PL - 160, PT2, 250},
                            {13, "walk 6", "rer 9", R, top9, PL - 320, PT2, 250},
                            {14, "walk 7", "rer 9", R, top9, PL - 480, PT2, 250},
                            {15, "walk 6", "rer 9", R, top9, PL - 640, PT2, 250}};
    for (const Row& r : together) tick(), expect(r);
    EXPECT_EQ(ridden([&] { tick(); }), std::make_tuple(rideOff, "rer 10", false));
    expect({0, "walk 0", "rer 10", R - 200 * rideOff, top9, PL - 640, PT2, 500});
    EXPECT_TRUE(!pekko().visible() && !timer().enabled() && mgo() == "呼び戻す" &&
                app.m.actMode == kRionVisit);
  }

  // Nothing happens until the call back: rer rides in to the centre and off
  // alone; ペッコ, set down facing left, drawn on arrival and each step out.
  const int drawn = desk.screenDCsObtained;
  desk.advance(10000), desk.setWindowPosCalls.clear();
  EXPECT_EQ(desk.screenDCsObtained, drawn);
  EXPECT_FALSE(std::get<2>(ridden([&] { app.menu().mgo_Click(); })));  // the timer off while riding
  int frames[2] = {};                                                  // ペッコ's and rer's
  for (const auto& call : desk.setWindowPosCalls) ++frames[call.hWnd == rion().hWnd()];
  EXPECT_EQ(std::make_pair(frames[0], frames[1]), std::make_pair(1 + out, in + out));
  expect({0, "walk 6", "rer 0", W - 200 * (in + out), H / 2 - 46 * t, PL - 640, PT + 400, 500});
  EXPECT_TRUE(pekko().visible() && rion().visible() && timer().enabled() && mgo() == "遊びにやる");
  // Until the next tick he is still on his visit: a drag is refused.
  desk.drag(pekko(), 30, 30), desk.doEvents();
  EXPECT_EQ(pekko().pixelX(), platform::toPixels(PL - 640, t));
  script({drawOf(45, 100)}), tick();
  EXPECT_EQ(app.m.actMode, kWaveHand);  // chosen anew
}

INSTANTIATE_TEST_SUITE_P(Scales, VisitAtScale,
                         ::testing::Values(Scale{15, 480}, Scale{15, 944}, Scale{15, 472},
                                           Scale{15, 486, 1056}, Scale{12, 480}, Scale{20, 480},
                                           Scale{1440.0f * 2 / 168, 480}),
                         ::testing::PrintToStringParamName());

class RerTest : public ::testing::Test, public ProgramOnDesktop {};

// Sent out mid-walk, the walk waits; called back before rer has a frame, rer
// is centred by his design height 4875 (5760 - 2437.5) and stops at the centre.
// Hovered, rer tells the free memory; clicked, a box, as ペッコ the clock; while
// a box is open ticks go on, yet no character is raised over it. Then the
// chat's faces at the edges of their ranges, and the rate.
TEST_F(RerTest, SendOutAndCallBackWhatRerTellsBoxesTheChatAndTheRate) {
  start(), script({drawOf(5, 100)}), tick(), tick();
  ASSERT_EQ(app.m.actStep, 2);
  app.menu().mgo_Click();
  EXPECT_FALSE(mgo() != "呼び戻す" || pekko().visible() || rion().visible() || timer().enabled());
  desk.advance(5000), desk.setWindowPosCalls.clear(), app.menu().mgo_Click();
  EXPECT_EQ(rion().top(), 3322.5f);
  int moves[2] = {};  // ペッコ's and rer's: 41 steps in to 7160, 41 out to -1040
  for (const auto& call : desk.setWindowPosCalls) ++moves[call.hWnd == rion().hWnd()];
  EXPECT_EQ(std::make_tuple(moves[0], moves[1], rion().left()), std::make_tuple(1 + 41, 41 + 41, -1040.0f));
  tick();  // the walk goes on, from the start (5728) two steps down
  EXPECT_EQ(std::make_tuple(app.m.actStep, pekko().top()), std::make_tuple(3, 5728 + 2 * 160.0f));
  // Only exactly "遊びにやる" sends him out; any other caption calls back.
  for (const char* caption : {"遊びにやる ", "", "FILE"}) {
    app.menu().mfile().setCaption(::mgo, caption), app.menu().mgo_Click();
    EXPECT_TRUE(mgo() == "遊びにやる" && pekko().visible()) << caption;
  }

  rion().setLeft(8000), rion().setTop(3000), rion().show(), app.pekko().BBfun3(0);
  auto& image1 = static_cast<platform::sim::SimMouseArea&>(app.rion().Image1());
  for (int buttons : {0, platform::LeftButton, platform::RightButton | platform::MiddleButton}) {
    image1.setToolTipText(""), desk.mouseMove(rion(), buttons), desk.doEvents();
    EXPECT_EQ(image1.toolTipText(), "リソースの残りは37% だぜ！") << buttons;
  }
  EXPECT_TRUE(desk.sentMessages.empty());  // no drag of rer
  desk.memory = {33554432, 33554432, 100663296, 100663296};
  script({drawOf(45, 100)}), app.m.actStep = 0;                      // he raises a hand, a frame every tick
  auto work = desk.openApplicationWindow(0, 0, 300, 200, 0xEEEEEE);  // it has the keyboard
  for (SimWindow* clicked : {&pekko(), &rion()}) {
    int raised = 0, frames = 0;
    bool anyTopmost = true;
    desk.onMessageBox = [&](const platform::sim::MessageBoxCall&) {
      const int before = desk.screenDCsObtained;
      desk.setWindowPosCalls.clear(), desk.advance(2000), app.pekko().GoRion();
      frames = desk.screenDCsObtained - before;
      for (const auto& call : desk.setWindowPosCalls) raised += !(call.flags & platform::SWP_NOZORDER);
      return anyTopmost = pekko().topmost || rion().topmost, platform::IDOK;
    };
    desk.click(*clicked, 63, 63), desk.doEvents();  // the far corner of the cell is still him
    EXPECT_EQ(std::make_tuple(frames >= 4, raised, anyTopmost, pekko().topmost && rion().topmost),
              std::make_tuple(true, 0, false, true));
  }
  EXPECT_EQ(desk.foreground(), work->hWnd());
  ASSERT_EQ(desk.messageBoxes.size(), 2u);
  const auto& [clock, memory] = std::tie(desk.messageBoxes[0], desk.messageBoxes[1]);
  EXPECT_EQ(std::tie(clock.text, clock.title, clock.style),
            std::make_tuple("12月5日(土) 22時7分 だよ", "ペッコ", platform::MB_OK));
  EXPECT_EQ(std::tie(memory.text, memory.title), std::make_tuple("リソースの残りは100% だぜ！", "rer"));
  // Chat faces from p and q; both below 10 blush for a second. The blush and
  // the next ordinary frame after one take rer away first, so that ペッコ's
  // frame, which rer overlaps, is drawn over the bare desktop.
  desk.fillDesktop(kDesk);
  rion().setLeft(pekko().left() + 560), rion().setTop(pekko().top() - 270), rion().show();
  const std::tuple<int, int, const char*, const char*, bool> cases[] = {
      {9, 9, "action 10", "rer 7", true},   {10, 9, "action 2", "rer 4", true},
      {30, 40, "action 2", "rer 4", false}, {9, 10, "action 2", "rer 4", false},
      {31, 41, "action 8", "rer 5", false}, {40, 45, "action 8", "rer 5", false},
      {41, 46, "action 9", "rer 6", false}, {50, 50, "action 9", "rer 6", false}};
  for (const auto& [p, q, pekkoCell, rerCell, overBareDesk] : cases) {
    SCOPED_TRACE(testing::Message() << p << ", " << q);
    const bool blush = p < 10 && q < 10;
    app.m.actMode = kRionVisit, app.m.actStep = 7;  // the chat again at every tick
    script({drawOf(2, 50), drawOf(p, 50), drawOf(q, 50)}), tick();
    EXPECT_EQ(
        std::make_tuple(shown(pekko()), shown(rion()), app.pekko().blushShown(), timer().interval()),
        std::make_tuple(std::string(pekkoCell), std::string(rerCell), blush ? 1 : 0, blush ? 1000 : 500));
    Bitmap held(64, 64);  // the top left of his back image, which keeps his designed size
    for (int i = 0; i < 64 * 64; ++i) held.pixels[i] = pekko().back.at(i % 64, i / 64);
    EXPECT_EQ(held == composite(Picture::rPic2, blush ? 10 : 2, Bitmap(64, 64, kDesk)), overBareDesk);
  }
  // The farewell's draw of 1..100 elopes when at most the rate.
  const std::tuple<std::int16_t, int, bool> rates[] = {{0, 1, false}, {100, 100, true}, {150, 100, true}};
  for (const auto& [rate, draw, elopes] : rates) {
    app.m.actMode = kRionVisit, app.m.actStep = 8, app.m.kakePer = rate;
    rion().setLeft(3000), script({drawOf(draw, 100)}), tick();
    EXPECT_EQ(rion().left(), elopes ? 1000 : -1000) << "rate " << rate << ", draw " << draw;
  }
}

}  // namespace
