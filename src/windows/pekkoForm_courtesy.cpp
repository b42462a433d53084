// Keeping out of the way: of a program that has the whole screen, and of
// the screen's edges when the display shrinks.
#include <algorithm>
#include <utility>

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
  // from the menu) already has his frame.
  bool back = false;
  if (std::exchange(pekkoAside_, false) && !form_->visible()) redraw(), form_->show(), back = true;
  if (std::exchange(rerAside_, false) && rion && !rion->visible()) {
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
  if (!form_->visible() && !pekkoAside_) return;
  const ScreenMetrics scr = app_.os.screen();
  const float left = std::max(0.0f, std::min(form_->left(), scr.width - form_->width()));
  const float top = std::max(0.0f, std::min(form_->top(), scr.height - form_->height()));
  if (left == form_->left() && top == form_->top()) return;
  form_->setLeft(left), form_->setTop(top);
  if (form_->visible()) redraw();
}
