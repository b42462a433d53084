// The hidden helper window, and the rule that no tick runs inside another tick.
#include "platform/win32/host_window.h"

#include "platform/win32/win32_timer.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"XpekkoHost";

}  // namespace

HostWindow::HostWindow() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(inst, kClassName, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
  }
  // A top-level popup rather than a message-only window: only a top-level
  // window can own others.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst,
                          nullptr);
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

UINT_PTR HostWindow::addTimer(Win32Timer& timer) {
  const UINT_PTR id = nextId_++;
  timers_[id] = &timer;
  return id;
}

void HostWindow::removeTimer(UINT_PTR id) {
  KillTimer(hwnd_, id);
  timers_.erase(id);
}

LRESULT CALLBACK HostWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_TIMER:
      if (self) self->deliver(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_CLOSE: return 0;  // lives as long as the platform
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

void HostWindow::deliver(UINT_PTR id) {
  if (inTick_) return;
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  Win32Timer* timer = it->second;
  if (!timer->enabled() || !timer->onTick) return;
  inTick_ = true;
  // A copy: the handler may replace its own onTick.
  auto handler = timer->onTick;
  callSafely(handler);
  inTick_ = false;
}

}  // namespace platform::win32
