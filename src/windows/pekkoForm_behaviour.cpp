// ペッコ's behaviour: the scheduler on Timer1 and the activities it runs,
// one step per tick on actStep.
#include "module/Module1.h"
#include "windows/behaviour.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"

using namespace platform;

void pekkoForm::Timer1_Timer() {
  if (stepAside()) return;
  Module1& m = app_.m;
  if (m.actStep != 0) {
    runActivity(m.actMode);
    return;
  }
  // Choose. A refused walk costs no tick: draw again until an activity runs
  // (draws from 41 on are never refused, so this ends). The position and
  // the monitors are read afresh for every draw.
  for (;;) {
    const Activity activity = activityForDraw(randomDraw(app_.os, 100));
    if (refusesToStart(activity, form_->left(), form_->top(), app_.os.screen(), app_.os.monitors())) continue;
    m.actMode = activity;
    runActivity(activity);
    return;
  }
}

void pekkoForm::runActivity(std::int16_t mode) {
  switch (mode) {
    case kWalkDown: WalkDown(); break;
    case kWalkUp: WalkUp(); break;
    case kWalkLeft: WalkLeft(); break;
    case kWalkRight: WalkRight(); break;
    case kWaveHand: WaveHand(); break;
    case kSitDown: SitDown(); break;
    case kRionVisit: RionVisit(); break;
    default: break;
  }
}

void pekkoForm::WalkDown() { walk(kWalkDown); }
void pekkoForm::WalkUp() { walk(kWalkUp); }
void pekkoForm::WalkLeft() { walk(kWalkLeft); }
void pekkoForm::WalkRight() { walk(kWalkRight); }

void pekkoForm::walk(int mode) {
  Module1& m = app_.m;
  const WalkPattern& pattern = kWalks[mode - kWalkDown];
  const std::int16_t n = ++m.actStep;
  // The position is read afresh: a drag in between is walked on from.
  if (n != 1) {
    if (pattern.vertical)
      form_->setTop(form_->top() + pattern.move);
    else
      form_->setLeft(form_->left() + pattern.move);
  }
  BBfun1(pattern.cells[n - 1]);
  if (n == kWalkSteps) m.actStep = 0;
}

void pekkoForm::WaveHand() {
  Module1& m = app_.m;
  const std::int16_t n = ++m.actStep;
  constexpr std::int16_t handUpMouthOpen = 0, handUpMouthClosed = 1;
  if (n == 1) {
    BBfun2(handUpMouthOpen);
  } else if (n == 2) {
    BBfun2(handUpMouthClosed);
  } else if (n == 3) {
    BBfun2(handUpMouthOpen);
    // Over with a chance of 1 in 10; otherwise the pair 1, 0 again.
    m.actStep = randomDraw(app_.os, 10) == 1 ? 0 : 1;
  }
}

void pekkoForm::SitDown() {
  Module1& m = app_.m;
  const std::int16_t n = ++m.actStep;
  constexpr std::int16_t squatting = 2;
  if (n == 1 || n == 2) {
    BBfun2(squatting);
    return;
  }
  if (n != 3) return;
  const std::int16_t r = randomDraw(app_.os, 100);
  for (const SitDownRange& row : kSitDownRanges) {
    if (r > row.upTo) continue;
    if (row.cell == kStartVisit) {
      m.actMode = kRionVisit;
      m.actStep = 0;
      RionVisit();
    } else if (row.cell == kEndSitDown) {
      m.actStep = 0;  // the last expression stays until the next activity
    } else {
      BBfun2(row.cell);
      m.actStep = 2;
    }
    return;
  }
}
