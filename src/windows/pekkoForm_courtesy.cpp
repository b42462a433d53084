// Keeping out of the way: of a program that has the whole screen, and of
// the screen's edges when the display shrinks.
#include <algorithm>
#include <cmath>
#include <utility>

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

// rer is left alone: beyond an edge is where his rides take him. The
// bounds are whole pixels of his cell (his window may be collapsed by a
// frame under way), so that no rounding puts a pixel of him past the edge.
void pekkoForm::displayChanged() {
  if (!form_->visible() && !pekkoAside_) return;
  const ScreenMetrics scr = app_.os.screen();
  const auto bound = [](float screen, float tpp) {
    return (std::floor(static_cast<float>(screen / tpp)) - static_cast<float>(kCellWidth)) * tpp;
  };
  const float left = std::max(0.0f, std::min(form_->left(), bound(scr.width, scr.twipsPerPixelX)));
  const float top = std::max(0.0f, std::min(form_->top(), bound(scr.height, scr.twipsPerPixelY)));
  if (left == form_->left() && top == form_->top()) return;
  form_->setLeft(left), form_->setTop(top);
  if (form_->visible()) redraw();
}
