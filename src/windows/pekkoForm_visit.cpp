// rer's visit, one step per tick, and his ride across the screen.
//
// He rides in from the right edge, walks up to ペッコ, both squat and chat,
// and he rides off alone or, with the chance the elopement rate gives,
// with ペッコ on his board. Events run inside every frame and every ride
// step; the visit acts on whatever state they leave behind.
#include "module/Module1.h"
#include "platform/twips.h"
#include "windows/behaviour.h"
#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"
#include "windows/visit.h"

using namespace platform;

namespace {

// The first step to the left that ends with rer's left edge at or beyond
// this many pixels past the screen's left edge leaves him wholly off it.
constexpr float kOffLeftPixels = -64;

}  // namespace

bool pekkoForm::rionOnScreen() const {
  return kOffLeftPixels * app_.os.screen().twipsPerPixelY < app_.rion().form().left();
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

// Step 1: rer rides in from the right edge, 12 pixels above ペッコ's top,
// and stops 80 pixels right of his left edge or just past that.
void pekkoForm::visitArrival() {
  Window& rion = app_.rion().form();
  const ScreenMetrics scr = app_.os.screen();
  rion.setTop(form_->top() - 12 * scr.twipsPerPixelY);
  rion.setLeft(scr.width);
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
// in passes, so that the ride has the same pace on every machine.
void pekkoForm::rideStep(std::int16_t cell) {
  Window& rion = app_.rion().form();
  rion.setLeft(rion.left() - designTwips(kRionStep, app_.os.screen().twipsPerPixelX));
  BBfun3(cell);
  app_.os.doEventsPaced(kRionPasses, kRionPaceMs);
}

void pekkoForm::GoRion() { rideStep(0); }
void pekkoForm::GoRion2() { rideStep(10); }
