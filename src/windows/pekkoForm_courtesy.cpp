// Keeping out of the way: of a program that has a whole monitor, and of
// the desktop's edges when the display changes.
#include <utility>

#include "windows/desktop.h"
#include "windows/frame.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

using namespace platform;

bool pekkoForm::stepAside() {
  Window* rion = app_.rionExists() ? &app_.rion().form() : nullptr;
  if (app_.os.screenTaken(form_->hWnd())) {
    if (form_->visible()) form_->hide(), pekkoAside_ = true;
    if (rion && rion->visible()) rion->hide(), rerAside_ = true;
    return true;
  }
  // Drawn while still hidden, each shows only his fresh frame, where he
  // was; the next tick goes on from there. One shown meanwhile (called back
  // from the menu) already has his frame. rer waits unseen while he is over
  // another monitor that is taken.
  bool back = false;
  if (std::exchange(pekkoAside_, false) && !form_->visible()) redraw(), form_->show(), back = true;
  if (rion && rerOverTakenScreen()) {
    if (rion->visible()) rion->hide(), rerAside_ = true;
  } else if (std::exchange(rerAside_, false) && rion && !rion->visible()) {
    const std::int16_t cell = lastRerCell_;
    BBfun3(cell), rion->show(), back = true;
  }
  return back;
}

void pekkoForm::redraw() {
  const std::int16_t cell = lastCell_;
  lastSheet_ == 2 ? BBfun2(cell) : BBfun1(cell);
}

// rer is left alone: beyond an edge is where his rides take him.
void pekkoForm::displayChanged() {
  if (form_->visible() || pekkoAside_) moveWhollyOnto();
}

void pekkoForm::placeOnDesktop() {
  const auto [x, y] = centre();
  if (!holds(monitor(), x, y)) moveWhollyOnto();
}

// The bounds are whole pixels of his cell (his window may be collapsed by a
// frame under way), so that no rounding puts a pixel of him past an edge.
void pekkoForm::moveWhollyOnto() {
  const ScreenMetrics scr = app_.os.screen();
  const Place p = nearestWhollyOn(app_.os.monitors(), form_->left(), form_->top(), kCellWidth,
                                  scr.twipsPerPixelX, scr.twipsPerPixelY);
  if (p.left == form_->left() && p.top == form_->top()) return;
  form_->setLeft(p.left), form_->setTop(p.top);
  if (form_->visible()) redraw();
}
