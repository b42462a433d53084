// Screen captures that never show a character window's last frame.
#include "platform/win32/capture_guard.h"

#include <algorithm>

#include "platform/win32/message_pump.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {

namespace {

// A stale capture is retried after this wait, at most this often.
constexpr double kStaleRetryMs = 1.0;
constexpr int kStaleRetries = 10;

}  // namespace

void CaptureGuard::screenReleased(HDC dc) {
  auto it = std::find(screenDCs_.begin(), screenDCs_.end(), dc);
  if (it != screenDCs_.end()) screenDCs_.erase(it);
}

void CaptureGuard::removeCharacter(const Win32Window& window) {
  characters_.erase(std::remove(characters_.begin(), characters_.end(), &window), characters_.end());
}

Win32Window* CaptureGuard::character(HWND hwnd) const {
  for (Win32Window* win : characters_)
    if (win->nativeHandle() == hwnd) return win;
  return nullptr;
}

void CaptureGuard::applyHeldGeometry() const {
  for (Win32Window* win : characters_) win->applyGeometry();
}

void CaptureGuard::activateTips(bool on) {
  for (Win32Window* win : characters_) win->activateTips(on);
}

bool CaptureGuard::isScreen(HDC dc) const {
  return std::find(screenDCs_.begin(), screenDCs_.end(), dc) != screenDCs_.end();
}

bool CaptureGuard::copy(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  const auto blt = [&] { return ::BitBlt(dst, x, y, w, h, src, sx, sy, rop) != FALSE; };
  if (!isScreen(src)) return blt();
  applyHeldGeometry();  // the screen shows the windows where they were put
  // A copy from the screen right after a character window shrank would
  // still see that window's last frame: give the uncovered area its few
  // milliseconds to be repainted first. The drawing's event passes, which
  // come before it takes the screen's context, normally waited already.
  pump_.settleBeforeScreenRead();
  bool ok = blt();
  // When the desktop's painter lags behind (a busy machine, frames in quick
  // succession), the capture can still be the frame just taken away. It is
  // then taken again after a short wait, a bounded number of times.
  const DibSurface* capture = rop == SRCCOPY ? surfaces_.find(dst) : nullptr;
  for (int retry = 0; capture && retry < kStaleRetries && isStale(*capture, x, y, w, h, sx, sy); ++retry) {
    pump_.waitForRepaint(kStaleRetryMs);
    ok = blt();
  }
  return ok;
}

bool CaptureGuard::isStale(const DibSurface& capture, int x, int y, int w, int h, int sx, int sy) const {
  for (const Win32Window* win : characters_) {
    if (win->onScreen()) continue;  // a window on the screen rightly shows in a capture
    RECT r{};
    if (!GetWindowRect(win->nativeHandle(), &r)) continue;
    if (capture.sameBlock(x, y, w, h, win->backImage(), sx - r.left, sy - r.top)) return true;
    const POINT shown = win->lastShownAt();
    if ((shown.x != r.left || shown.y != r.top) &&
        capture.sameOverlap(x, y, w, h, win->backImage(), sx - shown.x, sy - shown.y))
      return true;
  }
  return false;
}

}  // namespace platform::win32
