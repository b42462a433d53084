// Seeded random use of the real window classes, invariants checked after
// every event: the tests run an hour in four streams ending with 終了;
// xpekko_soak [hours] [first seed] runs a day, printing any broken invariant
// with the seed and event that reproduce it (exit 1).
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "../support.h"

namespace {

using namespace testing_support;

struct Figures {
  long long events = 0;
  int visits = 0, elopements = 0, sendOuts = 0, callBacks = 0, boxes = 0, dialogs = 0, shellRestarts = 0,
      endings = 0;
  std::string violation;  // empty while every invariant holds
};

const Layout kLayouts[] = {{{0, 0, 1024, 768, true}}, kSideBySide, kL, kLeft};  // the stream's monitors

// One stream: a fresh program, `minutes` of simulated use, then 終了.
struct Stream : ProgramOnDesktop {
  Stream(std::uint32_t seed, Figures& figures)
      : rng_(seed), seed_(seed), f_(figures), layout_(kLayouts[seed % 4]) {
    desk.randomSeed = seed;
    desk.onMessageBox = [this](const platform::sim::MessageBoxCall&) {
      ++f_.boxes;
      desk.advance(pick(200, 4000));  // the box is read while ticks go on
      return platform::IDOK;
    };
    desk.onPopup = [this](platform::sim::SimMenu&) { return menuChoice_; };
  }

  void run(int minutes) {
    desk.setMonitors(layout_), start();
    timer().onTick = [this, inner = timer().onTick] {
      const bool visiting = app.m.actMode == 7 && app.m.actStep != 0, choosing = app.m.actStep == 0;
      const int x = pekko().pixelX(), y = pekko().pixelY(), reach = 43;  // a walk's 640 twips
      inner();
      // No walk starts that can take a pixel of him further off the monitors than a walk's length.
      const int dx[] = {0, 0, -reach, reach}, dy[] = {reach, -reach, 0, 0};
      const int k = choosing && app.m.actStep == 1 ? app.m.actMode - 1 : -1;  // a walk just started
      if (k >= 0 && k < 4 && depth(x + dx[k], y + dy[k]) > std::max(depth(x, y), reach))
        fail("a walk toward no monitor from " + std::to_string(x) + ", " + std::to_string(y));
      f_.visits += !visiting && app.m.actMode == 7 && app.m.actStep == 1;
      f_.elopements += visiting && app.m.actStep == 0 && mgo() == kCallBack;
    };
    for (const long long end = desk.clock() + minutes * 60'000LL; desk.clock() < end && f_.violation.empty();)
      step(), ++f_.events, ++event_, check();
    if (!f_.violation.empty()) return;
    choose(mend);
    if (!desk.ended() || !desk.trayIcons.empty() || desk.heldScreenDCs()) fail("終了 did not end cleanly");
    ++f_.endings;
  }

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  SimWindow& either() { return pick(0, 1) ? pekko() : rion(); }

  void fail(const std::string& what) {
    if (f_.violation.empty())
      f_.violation = what + " (seed " + std::to_string(seed_) + ", event " + std::to_string(event_) + ", t " +
                     std::to_string(desk.clock()) + " ms)";
  }

  void choose(int item) {
    menuChoice_ = item, desk.trayMouse(pick(0, 1) ? platform::WM_LBUTTONUP : platform::WM_RBUTTONUP);
    desk.doEvents(), menuChoice_ = -1;
  }

  void step() {
    const int r = pick(1, 100);
    const int items[] = {m3, m4, mabout, sep, mlove};
    if (r <= 55) {
      const int draws = desk.randomNumbersDrawn;
      desk.advance(pick(1, 3000));
      if (desk.taken && desk.randomNumbersDrawn != draws) fail("a random draw while the screen is taken");
      return;
    }
    if (r <= 63) return desk.mouseMove(either(), pick(0, 7), pick(0, 63), pick(0, 63));
    if (r <= 67) return desk.click(either(), pick(0, 63), pick(0, 63));
    if (r <= 73) return desk.drag(pekko(), pick(-600, 600), pick(-400, 400), pick(0, 800));
    if (r <= 76) return desk.trayMouse(pick(512, 521));  // presses, moves, double clicks: nothing
    if (r <= 84) {
      // A send out in the middle of a visit lets the visit run on: it turns
      // the timer on again after its loops, with ペッコ hidden.
      if (mgo() == kSendOut) sentOutDuringVisit_ = app.m.actMode == 7 && app.m.actStep != 0;
      ++(mgo() == kSendOut ? f_.sendOuts : f_.callBacks);
      return choose(::mgo);
    }
    if (r <= 90) return choose(items[pick(0, 4)]);
    if (r <= 92) return dialog();
    if (r <= 93) ++f_.shellRestarts, desk.recreateNotificationArea();
    if (r == 94) desk.taken = !desk.taken;  // a full-screen program comes or goes
    if (r == 95)                            // after what is queued (a drag ending later would move him again)
      desk.doEvents(), desk.setMonitors(desk.displays.size() < layout_.size() ? layout_ : Layout{layout_[0]});
    desk.doEvents();
    const int x = pekko().pixelX(), y = pekko().pixelY();
    const auto on = [&](const auto& m) {
      return m.x <= x && x + 64 <= m.x + m.width && m.y <= y && y + 64 <= m.y + m.height;
    };
    if (r == 95 && pekko().visible() && std::none_of(desk.displays.begin(), desk.displays.end(), on))
      fail("not wholly on one monitor after a display change");
  }

  // How far the farthest pixel of his cell at (x, y) lies off every monitor.
  int depth(int x, int y) const {
    int worst = 0;
    for (int j = y; j < y + 64; ++j)
      for (int i = x; i < x + 64; ++i) {
        int off = 1 << 30;
        for (const auto& m : desk.displays)
          off = std::min(off, std::max({0, m.x - i, i - m.x - m.width + 1, m.y - j, j - m.y - m.height + 1}));
        worst = std::max(worst, off);
      }
    return worst;
  }

  // The dialog, if open: a text (its rate, -1 none), then OK, Enter, Esc or nothing.
  void dialog() {
    if (!menu().visible()) return;
    ++f_.dialogs;
    const std::pair<const char*, int> texts[] = {{"", -1},     {"0", 0},     {"100", 100}, {"7.5", 8},
                                                 {"12.5", 12}, {"101", -1},  {"abc", -1},  {" 42 ", 42},
                                                 {"１０", -1}, {"99.5", 100}};
    const auto& [text, rate] = texts[pick(0, 9)];
    auto& box = static_cast<platform::sim::SimTextBox&>(app.menu().Text1());
    box.selectAll(), desk.type(box, *text ? text : "\b"), desk.doEvents();
    const int how = pick(0, 3);
    if (how == 0) desk.click(static_cast<platform::sim::SimButton&>(app.menu().Command1()));
    if (how == 1) desk.key(menu(), SimDesktop::Key::Enter);
    if (how == 2) desk.key(menu(), SimDesktop::Key::Escape);
    if (app.menu().Command1().enabled() != (rate >= 0)) fail("OK enabled for a text that is no rate, or not");
    desk.doEvents();
    if (how <= 1 && rate >= 0) acceptedRate_ = static_cast<std::int16_t>(rate);
  }

  void check() {
    const Module1& m = app.m;
    if (m.actStep < 0 || m.actStep > 16 || m.actMode < 0 || m.actMode > 7) fail("step or mode out of range");
    if (desk.heldScreenDCs() != 0 || m.scrDCHeld) fail("the screen context is held outside a drawing");
    if (m.characterBoxesOpen != int(app.menu().form().visible())) fail("a box counted open once closed");
    if (desk.ended()) fail("the program ended without 終了");
    for (SimWindow* w : {&pekko(), &rion()})
      if (w->visible() && (w->pixelWidth() != 64 || w->pixelHeight() != (w == &rion() ? 92 : 64)))
        fail(w == &rion() ? "rer not one cell" : "ペッコ not one cell");
    const bool timerOn = timer().enabled();
    if (mgo() == kSendOut && !timerOn) fail("here, yet the timer is off");
    if (mgo() == kCallBack && pekko().visible()) fail("away, yet ペッコ is shown");
    if (mgo() == kCallBack && timerOn && !sentOutDuringVisit_) fail("away, yet the timer runs");
    if (mgo() != kSendOut && mgo() != kCallBack) fail("mgo has another caption");
    const auto stored = desk.settings.find("xpekko\\setting\\kakeochiper");
    if (m.kakePer != acceptedRate_ ||
        (stored != desk.settings.end() && stored->second != std::to_string(acceptedRate_)))
      fail("the rate or the stored entry is not what OK accepted");
    if (desk.trayIcons.empty()) fail("the icon is gone");
  }

  std::mt19937 rng_;
  std::uint32_t seed_;
  Figures& f_;
  int menuChoice_ = -1;
  long long event_ = 0;
  bool sentOutDuringVisit_ = false;
  Layout layout_;
  std::int16_t acceptedRate_ = 10;  // start-up's value until OK accepts another
};

}  // namespace

#ifdef XPEKKO_SOAK_DAY
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int hours = argc > 1 ? std::atoi(argv[1]) : 24;
  const std::uint32_t first = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 1;
  Figures f;
  const auto t0 = std::chrono::steady_clock::now();
  for (int h = 0; h < hours && f.violation.empty(); ++h) Stream(first + h, f).run(60);
  std::printf(
      "simulated %d h in %.1f s: %lld events; visits %d, elopements %d, send outs %d, call backs %d, "
      "boxes %d, dialogs %d, shell restarts %d, endings %d\n%s%s\n",
      hours, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), f.events, f.visits,
      f.elopements, f.sendOuts, f.callBacks, f.boxes, f.dialogs, f.shellRestarts, f.endings,
      f.violation.empty() ? "" : "VIOLATION: ", f.violation.c_str());
  return f.violation.empty() ? 0 : 1;
}
#else
TEST(Soak, AnHourOfRandomUseKeepsEveryInvariant) {
  Figures f;
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) Stream(seed, f).run(15);  // each stops at a violation
  ASSERT_EQ(std::make_pair(f.violation, f.endings), std::make_pair(std::string(), 4));
  // The streams reached what they are meant to exercise.
  for (int n : {f.visits, f.sendOuts, f.callBacks, f.boxes, f.dialogs, f.shellRestarts}) EXPECT_GT(n, 4);
}
#endif
