// A small move loop of our own, started by WM_NCLBUTTONDOWN/HTCAPTION.
#include "platform/win32/move_loop.h"

#include <cmath>

#include "platform/win32/display.h"
#include "platform/win32/message_pump.h"

namespace platform::win32 {

namespace {

bool leftButtonDown() {
  // The "left" button is the primary one; with swapped buttons it is the
  // physical right one.
  const int vk = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

}  // namespace

void followMouseUntilRelease(HWND hwnd, MessagePump& pump, const POINT* grab) {
  pump.applyHeld();
  if (!IsWindowVisible(hwnd)) return;

  // The pointer's offset in the window: taken where the button went down,
  // so that the moves before this loop began (the first one starts the
  // drag, and a quick hand makes several) are not lost.
  RECT r{};
  GetWindowRect(hwnd, &r);
  POINT offset{};
  if (grab) {
    offset = *grab;
  } else {
    GetCursorPos(&offset);
    offset = {offset.x - r.left, offset.y - r.top};
  }
  // The window keeps to whole pixels of the program, s of the screen's
  // each, where the next frame's capture of the screen expects it.
  const int s = pixelScale();
  auto snap = [s](LONG v) { return static_cast<int>(std::lround(static_cast<double>(v) / s)) * s; };
  auto follow = [&](POINT pt) {
    SetWindowPos(hwnd, nullptr, snap(pt.x - offset.x), snap(pt.y - offset.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };

  // Released already: the drag ends where the release was.
  if (!leftButtonDown()) {
    MSG up;
    if (PeekMessageW(&up, hwnd, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE)) follow(up.pt);
    return;
  }
  POINT now{};
  GetCursorPos(&now);
  follow(now);

  SetCapture(hwnd);
  while (GetCapture() == hwnd) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (msg.hwnd == hwnd) {
      if (msg.message == WM_MOUSEMOVE) {
        // A release the window never saw (the capture was broken and given
        // back) must not leave the window glued to the pointer.
        if (!(msg.wParam & MK_LBUTTON)) break;
        follow(msg.pt);
        continue;
      }
      if (msg.message == WM_LBUTTONUP) {
        follow(msg.pt);
        break;
      }
      // Other buttons during the drag do nothing, as in the system's loop.
      if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
    }
    pump.dispatch(msg);
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace platform::win32
