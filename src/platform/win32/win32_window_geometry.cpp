// A top-level window's place and size, kept in twips. A character's
// changes are held and given to the system together, at the points where
// they can be seen (see applyGeometry).
#include "platform/win32/win32_window.h"

#include <algorithm>

#include "platform/twips.h"

namespace platform::win32 {

// As long as the system has the window where the twips last set put it,
// they read back exactly as set; moved or sized by other means (the user's
// drag), the system's pixels count.
float Win32Window::left() const {
  return moveHeld_ ? leftTw_ : readBack(placeNow().left, leftPx_, leftTw_, tppX_);
}
float Win32Window::top() const {
  return moveHeld_ ? topTw_ : readBack(placeNow().top, topPx_, topTw_, tppY_);
}
float Win32Window::width() const {
  return sizeHeld() ? widthTw_ : readBack(clientNow().right, appliedWidth_, widthTw_, tppX_);
}
float Win32Window::height() const {
  return sizeHeld() ? heightTw_ : readBack(clientNow().bottom, appliedHeight_, heightTw_, tppY_);
}

float Win32Window::readBack(LONG pixels, int given, float twips, float tpp) const {
  return pixels == given ? twips : this->twips(pixels, tpp);
}

int Win32Window::screenPixels(float twips, float tpp) const { return toPixels(twips, tpp) * s_; }

float Win32Window::twips(LONG screenPixels, float tpp) const {
  return static_cast<float>(screenPixels) / static_cast<float>(s_) * tpp;
}

RECT Win32Window::placeNow() const {
  RECT r{};
  if (!GetWindowRect(hwnd_, &r)) r = {leftPx_, topPx_, leftPx_, topPx_};
  return r;
}

RECT Win32Window::clientNow() const {
  RECT r{};
  if (!GetClientRect(hwnd_, &r)) r = {0, 0, appliedWidth_, appliedHeight_};
  return r;
}

void Win32Window::setLeft(float twips) { moveTo(twips, std::nullopt); }
void Win32Window::setTop(float twips) { moveTo(std::nullopt, twips); }

// A character's move is held until his frame gives it to the system with
// the rest; any other window moves at once. The coordinate not given is
// taken from the system first: a drag may have moved the window since.
void Win32Window::moveTo(std::optional<float> leftTw, std::optional<float> topTw) {
  if (!moveHeld_) {
    const RECT now = placeNow();
    leftTw_ = readBack(now.left, leftPx_, leftTw_, tppX_);
    topTw_ = readBack(now.top, topPx_, topTw_, tppY_);
    leftPx_ = now.left;
    topPx_ = now.top;
  }
  if (leftTw) {
    leftTw_ = *leftTw;
    leftPx_ = screenPixels(*leftTw, tppX_);
  }
  if (topTw) {
    topTw_ = *topTw;
    topPx_ = screenPixels(*topTw, tppY_);
  }
  if (isCharacter()) {
    moveHeld_ = true;
    return;
  }
  SetWindowPos(hwnd_, nullptr, leftPx_, topPx_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setWidth(float twips) {
  widthTw_ = twips;
  widthPx_ = std::max(0, screenPixels(twips, tppX_));
  applySize();
}

void Win32Window::setHeight(float twips) {
  heightTw_ = twips;
  heightPx_ = std::max(0, screenPixels(twips, tppY_));
  applySize();
}

void Win32Window::applySize() {
  if (isCharacter()) {
    // Collapsing is seen at once (what lay beneath shows again), and the
    // frame's event passes that follow give it time to; a held move goes
    // with it. Any other size waits for the next point where it shows.
    const bool collapsing = (widthPx_ == 0 || heightPx_ == 0) && appliedWidth_ != 0 && appliedHeight_ != 0;
    if (collapsing) applyGeometry();
    return;
  }
  back_.growTo(widthPx_, heightPx_, backFill_);
  const SIZE outer = outerSize(widthPx_, heightPx_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  appliedWidth_ = widthPx_;
  appliedHeight_ = heightPx_;
}

void Win32Window::show() {
  applyGeometry();
  ShowWindow(hwnd_, isCharacter() ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  // Paint the back image now rather than at the next idle moment, so the
  // window never shows anything but its frame.
  UpdateWindow(hwnd_);
}

void Win32Window::hide() {
  applyGeometry();
  ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Window::visible() const { return IsWindowVisible(hwnd_) != FALSE; }

bool Win32Window::sizeHeld() const {
  if (!isCharacter()) return false;
  const bool empty = widthPx_ == 0 || heightPx_ == 0;
  const bool appliedEmpty = appliedWidth_ == 0 || appliedHeight_ == 0;
  if (empty && appliedEmpty) return false;
  return widthPx_ != appliedWidth_ || heightPx_ != appliedHeight_;
}

bool Win32Window::applyGeometry(HWND insertAfter, UINT flags) {
  const bool move = moveHeld_;
  const bool size = sizeHeld();
  if (!move && !size) return false;
  flags |= SWP_NOACTIVATE;
  flags = move ? flags & ~SWP_NOMOVE : flags | SWP_NOMOVE;
  flags = size ? flags & ~SWP_NOSIZE : flags | SWP_NOSIZE;
  // Growing back from nothing uncovers nothing and is painted right after
  // from the back image: no invalidation, hence no WM_PAINT to follow.
  const bool growing = size && (appliedWidth_ == 0 || appliedHeight_ == 0) && IsWindowVisible(hwnd_);
  if (growing) flags |= SWP_NOREDRAW;
  if (size && widthPx_ > 0 && heightPx_ > 0) back_.resizeTo(widthPx_, heightPx_, backFill_);
  const SIZE outer = outerSize(widthPx_, heightPx_);
  if (onScreen()) {
    const RECT was = placeNow();
    lastShownAt_ = {was.left, was.top};
  }
  moveHeld_ = false;
  appliedWidth_ = widthPx_;
  appliedHeight_ = heightPx_;
  ::SetWindowPos(hwnd_, insertAfter, leftPx_, topPx_, outer.cx, outer.cy, flags);
  if (growing) present();
  return true;
}

}  // namespace platform::win32
