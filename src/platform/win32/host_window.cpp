// The hidden helper window.
#include "platform/win32/host_window.h"

#include "platform/win32/win32_timer.h"

namespace platform::win32 {

namespace {

LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      Win32Timer::deliver(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_CLOSE:
      return 0;  // lives as long as the process
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

HWND hostWindow() {
  static HWND host = [] {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = hostProc;
    wc.hInstance = inst;
    wc.lpszClassName = L"XpekkoHost";
    RegisterClassExW(&wc);
    // A top-level popup rather than a message-only window: only a top-level
    // window can own others.
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"XpekkoHost", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           inst, nullptr);
  }();
  return host;
}

}  // namespace platform::win32
