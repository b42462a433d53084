// A day of use on the simulated desktop: a seeded random stream of what a
// person and the system do, run against the real window classes, with the
// program's invariants checked after every event. The tests run an hour of
// it; xpekko_soak runs a day and prints what it saw.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "module/Module1.h"
#include "platform/sim/sim_desktop.h"
#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

namespace soak {

using platform::sim::SimDesktop;
using platform::sim::SimWindow;

struct Figures {
  long long events = 0;
  int visits = 0, elopements = 0, sendOuts = 0, callBacks = 0, boxes = 0, dialogs = 0, shellRestarts = 0;
  int endings = 0;        // 終了 chosen at the end of a stream
  std::string violation;  // empty while every invariant holds
};

// One stream: a fresh program, `minutes` of simulated use, then 終了.
class Stream {
 public:
  Stream(std::uint32_t seed, Figures& figures) : rng_(seed), seed_(seed), f_(figures) {
    desk_.randomSeed = seed;
    desk_.onMessageBox = [this](const platform::sim::MessageBoxCall&) {
      ++f_.boxes;
      // The user reads the box for a while; ticks go on meanwhile.
      desk_.advance(pick(200, 4000));
      return platform::IDOK;
    };
    desk_.onPopup = [this](platform::sim::SimMenu&) { return menuChoice_; };
  }

  void run(int minutes) {
    app_.start();
    watchTicks();
    const long long end = desk_.clock() + minutes * 60'000LL;
    while (desk_.clock() < end && f_.violation.empty()) {
      step();
      ++f_.events, ++event_;
      check();
    }
    if (!f_.violation.empty()) return;
    // 終了 from whatever state the stream reached.
    choose(mend);
    if (!desk_.ended() || !desk_.trayIcons.empty() || desk_.heldScreenDCs() != 0)
      fail("終了 did not end the program cleanly");
    ++f_.endings;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  SimWindow& pekko() { return static_cast<SimWindow&>(app_.pekko().form()); }
  SimWindow& rion() { return static_cast<SimWindow&>(app_.rion().form()); }
  std::string mgoCaption() { return app_.menu().mfile().caption(mgo); }

  void fail(const std::string& what) {
    if (!f_.violation.empty()) return;
    std::ostringstream s;
    s << what << " (seed " << seed_ << ", event " << event_ << ", t " << desk_.clock() << " ms)";
    f_.violation = s.str();
  }

  // Counts the visits and elopements, and catches a tick inside a tick.
  void watchTicks() {
    platform::Timer& timer = app_.pekko().Timer1();
    auto inner = timer.onTick;
    timer.onTick = [this, inner] {
      if (inTick_) fail("a tick ran inside a tick");
      inTick_ = true;
      const bool visiting = app_.m.actMode == 7 && app_.m.actStep != 0;
      inner();
      if (!visiting && app_.m.actMode == 7 && app_.m.actStep == 1) ++f_.visits;
      if (visiting && app_.m.actStep == 0 && !pekko().visible() && mgoCaption() == kCallBack) ++f_.elopements;
      inTick_ = false;
    };
  }

  void choose(int item) {
    menuChoice_ = item;
    desk_.trayMouse(pick(0, 1) ? platform::WM_LBUTTONUP : platform::WM_RBUTTONUP);
    desk_.doEvents();
    menuChoice_ = -1;
  }

  void step() {
    const int r = pick(1, 100);
    if (r <= 55) {
      desk_.advance(pick(1, 3000));  // time passes: ticks at the timer's pace
    } else if (r <= 63) {
      desk_.mouseMove(pick(0, 1) ? static_cast<SimWindow&>(pekko()) : rion(), pick(0, 7), pick(0, 63),
                      pick(0, 63));
    } else if (r <= 67) {
      desk_.click(pick(0, 3) ? static_cast<SimWindow&>(pekko()) : rion(), pick(0, 63), pick(0, 63));
    } else if (r <= 73) {
      desk_.drag(pekko(), pick(-200, 200), pick(-200, 200), pick(0, 800));
    } else if (r <= 76) {
      desk_.trayMouse(pick(512, 521));  // presses, moves, double clicks: nothing
    } else if (r <= 84) {
      const int item = mgo;
      if (mgoCaption() == kSendOut) {
        ++f_.sendOuts;
        sentOutDuringVisit_ = app_.m.actMode == 7 && app_.m.actStep != 0;
      } else {
        ++f_.callBacks;
        sentOutDuringVisit_ = false;
      }
      choose(item);
    } else if (r <= 90) {
      const int items[] = {m3, m4, mabout, sep, mlove};
      choose(items[pick(0, 4)]);
    } else if (r <= 92) {
      dialog();
    } else if (r <= 93) {
      ++f_.shellRestarts;
      desk_.recreateNotificationArea();
      desk_.doEvents();
      if (desk_.trayIcons.empty()) fail("the icon did not come back after the shell restarted");
    } else {
      desk_.doEvents();
    }
  }

  // The rate dialog, if open: a text typed over the selection, then OK,
  // Enter, Esc or nothing.
  void dialog() {
    menuForm& menu = app_.menu();
    auto& window = static_cast<SimWindow&>(menu.form());
    if (!window.visible()) return;
    ++f_.dialogs;
    const char* texts[] = {"",    "0",   "100", "25",   "7.5",  "12.5", "-1",
                           "101", "abc", "1e2", " 42 ", "１０", "99.5"};
    auto& box = static_cast<platform::sim::SimTextBox&>(menu.Text1());
    box.selectAll();
    desk_.type(box, std::string(texts[pick(0, 12)]) + (pick(0, 3) ? "" : "\b"));
    desk_.doEvents();
    const std::string typed = box.text();
    const int how = pick(0, 3);
    if (how == 0) desk_.click(static_cast<platform::sim::SimButton&>(menu.Command1()));
    if (how == 1) desk_.key(window, SimDesktop::Key::Enter);
    if (how == 2) desk_.key(window, SimDesktop::Key::Escape);
    const bool okEnabled = menu.Command1().enabled();
    desk_.doEvents();
    // What OK accepts becomes the rate and the stored entry.
    if (how <= 1 && okEnabled) {
      const std::optional<double> v = numberFromText(typed);
      if (!v || *v < 0 || *v > 100)
        fail("OK was enabled for a text that is no rate");
      else
        acceptedRate_ = *toInt16(*v);
    }
  }

  void check() {
    const Module1& m = app_.m;
    if (m.actStep < 0 || m.actStep > 16) fail("actStep out of range");
    if (m.actMode < 0 || m.actMode > 7) fail("actMode out of range");
    if (desk_.heldScreenDCs() != 0 || m.scrDCHeld) fail("the screen context is held outside a drawing");
    if (m.characterBoxesOpen != 0) fail("a box is counted open after it closed");
    if (desk_.ended()) fail("the program ended without 終了");
    if (pekko().visible() && (pekko().pixelWidth() != 64 || pekko().pixelHeight() != 64))
      fail("ペッコ's window is not one cell");
    if (app_.rionExists() && rion().visible() && (rion().pixelWidth() != 64 || rion().pixelHeight() != 92))
      fail("rer's window is not one cell");
    const std::string caption = mgoCaption();
    if (caption != kSendOut && caption != kCallBack) fail("mgo has another caption");
    if (caption == kSendOut && !app_.pekko().Timer1().enabled()) fail("here, yet the timer is off");
    if (caption == kCallBack) {
      if (pekko().visible()) fail("away, yet ペッコ is shown");
      // A send out in the middle of a visit lets the visit run on: it turns
      // the timer on again after its loops, with ペッコ hidden.
      if (app_.pekko().Timer1().enabled() && !sentOutDuringVisit_) fail("away, yet the timer runs");
    }
    if (m.kakePer != acceptedRate_) fail("the rate is not what OK accepted");
    const auto stored = desk_.settings.find("xpekko\\setting\\kakeochiper");
    if (stored != desk_.settings.end() && stored->second != std::to_string(acceptedRate_))
      fail("the stored entry is not what OK accepted");
    if (desk_.trayIcons.empty()) fail("the icon is gone");
  }

  std::mt19937 rng_;
  std::uint32_t seed_;
  Figures& f_;
  SimDesktop desk_{1024, 768, 15};
  Program app_{desk_};
  int menuChoice_ = -1;
  long long event_ = 0;
  bool inTick_ = false;
  bool sentOutDuringVisit_ = false;
  std::int16_t acceptedRate_ = 10;  // start-up's value until OK accepts another
};

}  // namespace soak
