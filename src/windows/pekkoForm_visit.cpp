// rer's visit, one step per tick, and his ride across the screen.
//
// He rides in from the right edge, walks up to ペッコ, both squat and chat,
// and he rides off alone or, with the chance the elopement rate gives,
// with ペッコ on his board. Events run inside every frame and every ride
// step; the visit acts on whatever state they leave behind.
#include <utility>

#include "module/Module1.h"
#include "platform/twips.h"
#include "windows/behaviour.h"
#include "windows/desktop.h"
#include "windows/frame.h"
#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"
#include "windows/visit.h"

using namespace platform;

bool pekkoForm::rionOnScreen() const {
  const Window& rion = app_.rion().form();
  const ScreenMetrics scr = app_.os.screen();
  return notPastLeftEnd(app_.os.monitors(), rion.left(), kCellWidth * scr.twipsPerPixelX, rion.top(),
                        rion.top() + kCompanionSheet.cellHeight * scr.twipsPerPixelY);
}

std::pair<float, float> pekkoForm::centre() const {
  const ScreenMetrics scr = app_.os.screen();
  const float half = kCellWidth / 2;
  return {form_->left() + half * scr.twipsPerPixelX, form_->top() + half * scr.twipsPerPixelY};
}

Monitor pekkoForm::monitor() const {
  const auto [x, y] = centre();
  return monitorAt(app_.os.monitors(), x, y);
}

float pekkoForm::rideInFrom(float top) const {
  const float bottom = top + kCompanionSheet.cellHeight * app_.os.screen().twipsPerPixelY;
  return ::rideInFrom(app_.os.monitors(), monitor(), top, bottom);
}

bool pekkoForm::rerOverTakenScreen() const {
  const Window& rion = app_.rion().form();
  const ScreenMetrics scr = app_.os.screen();
  return app_.os.anyScreenTaken(rion.left(), rion.top(), rion.left() + kCellWidth * scr.twipsPerPixelX,
                                rion.top() + kCompanionSheet.cellHeight * scr.twipsPerPixelY);
}

void pekkoForm::RionVisit() {
  Module1& m = app_.m;
  const std::int16_t n = ++m.actStep;
  app_.rion();  // created (hidden) if it does not exist yet
  if (n == kVisitArrival) {
    visitArrival();
  } else if (n == kVisitChat) {
    visitChat();
  } else if (n == kVisitFarewell) {
    visitFarewell();
  } else if (n == kVisitLeaveTogether) {
    visitLeaveTogether();
  } else {
    for (const VisitStep& s : kVisitScript)
      if (s.step == n)
        for (int i = 0; i < s.count; ++i) visitAction(s.actions[i]);
  }
}

void pekkoForm::visitAction(const VisitAction& a) {
  Window& rion = app_.rion().form();
  const ScreenMetrics scr = app_.os.screen();
  switch (a.op) {
    case VisitOp::Interval: timer1_->setInterval(a.arg); break;
    case VisitOp::PekkoWalk: BBfun1(a.arg); break;
    case VisitOp::PekkoAction: BBfun2(a.arg); break;
    case VisitOp::Rion: BBfun3(a.arg); break;
    case VisitOp::RionBesidePekko: rion.setLeft(form_->left() + a.arg * scr.twipsPerPixelX); break;
    case VisitOp::RionLeft: rion.setLeft(rion.left() - designTwips(a.arg, scr.twipsPerPixelX)); break;
    case VisitOp::RionUp: rion.setTop(rion.top() - a.arg * scr.twipsPerPixelY); break;
    case VisitOp::CollapseRion: rion.setHeight(0); break;
    case VisitOp::PekkoLeft: form_->setLeft(form_->left() - designTwips(a.arg, scr.twipsPerPixelX)); break;
  }
}

// Step 1: rer rides in from the right end of the desktop, 12 pixels above
// ペッコ's top, and stops 80 pixels right of his left edge or just past that.
void pekkoForm::visitArrival() {
  Window& rion = app_.rion().form();
  const ScreenMetrics scr = app_.os.screen();
  rion.setTop(form_->top() - 12 * scr.twipsPerPixelY);
  rion.setLeft(rideInFrom(rion.top()));
  rion.show();
  constexpr std::int16_t headTurnedAside = 6, rionStanding = 1;
  BBfun2(headTurnedAside);
  timer1_->setEnabled(false);
  for (;;) {
    const float arrived = form_->left() + 80 * app_.os.screen().twipsPerPixelX;
    if (!(arrived < rion.left())) break;
    GoRion();
  }
  BBfun3(rionStanding);
  timer1_->setEnabled(true);
}

// Step 8, once a tick: now and then it ends; otherwise both pull faces, and
// when both draws are low they blush.
void pekkoForm::visitChat() {
  Module1& m = app_.m;
  Window& rion = app_.rion().form();
  if (randomDraw(app_.os, 50) == 1) {
    m.actStep = kVisitChat;  // the farewell next
    return;
  }
  m.actStep = kVisitChat - 1;  // the chat again
  const std::int16_t p = randomDraw(app_.os, 50);
  const std::int16_t q = randomDraw(app_.os, 50);
  if (p < kBlushBelow && q < kBlushBelow) {
    constexpr std::int16_t pekkoBlushing = 10, rionBlushing = 7;
    rion.setHeight(0);
    BBfun2(pekkoBlushing);
    BBfun3(rionBlushing);
    blushShown_ = 1;
    timer1_->setInterval(1000);
    return;
  }
  timer1_->setInterval(500);
  if (blushShown_ == 1) {
    blushShown_ = 0;
    rion.setHeight(0);
  }
  const auto face = [](const auto& table, std::int16_t r) {
    for (const ChatFace& f : table)
      if (r <= f.upTo) return f.cell;
    return table.back().cell;
  };
  BBfun2(face(kPekkoChatFaces, p));
  BBfun3(face(kRionChatFaces, q));
}

// Step 9: rer gets back on his board; the elopement rate decides whether
// ペッコ goes with him.
void pekkoForm::visitFarewell() {
  Module1& m = app_.m;
  Window& rion = app_.rion().form();
  rion.setTop(rion.top() + 32 * app_.os.screen().twipsPerPixelY);
  constexpr std::int16_t startled = 11, sweating = 12, rionOnBoard = 0, rionSweating = 8;
  BBfun2(startled);
  BBfun3(rionOnBoard);
  if (randomDraw(app_.os, 100) > m.kakePer) {
    // He rides off alone; ペッコ stays where he is.
    timer1_->setEnabled(false);
    while (rionOnScreen()) {
      BBfun2(startled);
      GoRion();
    }
    timer1_->setEnabled(true);
    m.actStep = 0;
    return;
  }
  // ペッコ is carried off: rer rides a little ahead, ペッコ steps down to
  // the board's level and follows. The timer stays on.
  for (int i = 0; i < 5; ++i) {
    BBfun2(startled);
    GoRion();
  }
  form_->setTop(form_->top() + designTwips(400, app_.os.screen().twipsPerPixelY));
  BBfun2(sweating);
  for (int i = 0; i < 5; ++i) {
    BBfun2(sweating);
    GoRion();
  }
  BBfun3(rionSweating);
  timer1_->setInterval(2000);
}

// Step 16: the two ride off together. ペッコ stays away, and the timer off,
// until he is called back from the tray menu.
void pekkoForm::visitLeaveTogether() {
  Module1& m = app_.m;
  constexpr std::int16_t together = 10, frontStanding = 0;
  form_->hide();
  BBfun3(together);
  timer1_->setInterval(500);
  timer1_->setEnabled(false);
  while (rionOnScreen()) GoRion2();
  BBfun1(frontStanding);
  app_.menu().mfile().setCaption(mgo, std::string(kCallBack));
  m.actStep = 0;
}

// One step of rer's ride: his window moves to the left, shows him (alone,
// or with ペッコ on the board), and events run for about 40 ms, counted
// in passes, so that the ride has the same pace on every machine. Over a
// monitor that a full-screen program has he rides on unseen.
void pekkoForm::rideStep(std::int16_t cell) {
  Window& rion = app_.rion().form();
  rion.setLeft(rion.left() - designTwips(kRionStep, app_.os.screen().twipsPerPixelX));
  if (rerOverTakenScreen()) {
    if (rion.visible()) rion.hide(), rerAside_ = true;
  } else {
    BBfun3(cell);
    if (std::exchange(rerAside_, false) && !rion.visible()) rion.show();
  }
  app_.os.doEventsPaced(kRionPasses, kRionPaceMs);
}

void pekkoForm::GoRion() { rideStep(0); }
void pekkoForm::GoRion2() { rideStep(10); }
