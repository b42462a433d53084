// Screen metrics; the resolution is read once, as it is fixed for the session.
#include "platform/win32/display.h"

#include "platform/twips.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

namespace {

struct Resolution {
  int scale = 1;
  float x = 15;  // twips per pixel of the program
  float y = 15;
  float inchX = 15;  // twips per pixel of the screen
  float inchY = 15;
};

const Resolution& resolution() {
  static const Resolution r = [] {
    Resolution res;
    if (HDC screen = ::GetDC(nullptr)) {
      const int dx = GetDeviceCaps(screen, LOGPIXELSX);
      const int dy = GetDeviceCaps(screen, LOGPIXELSY);
      // Pixels stay square: the horizontal resolution sets the scale.
      if (dx > 0) {
        res.scale = displayScale(dx);
        res.x = twipsPerScaledPixel(dx);
        res.inchX = 1440.0f / static_cast<float>(dx);
      }
      if (dy > 0) {
        res.y = static_cast<float>(1440 * res.scale) / static_cast<float>(dy);
        res.inchY = 1440.0f / static_cast<float>(dy);
      }
      ::ReleaseDC(nullptr, screen);
    }
    return res;
  }();
  return r;
}

}  // namespace

int pixelScale() { return resolution().scale; }
float twipsPerPixelX() { return resolution().x; }
float twipsPerPixelY() { return resolution().y; }

ScreenMetrics screenMetrics() {
  ScreenMetrics m;
  m.twipsPerPixelX = twipsPerPixelX();
  m.twipsPerPixelY = twipsPerPixelY();
  m.width = static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * resolution().inchX;
  m.height = static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * resolution().inchY;
  return m;
}

bool screenTaken(HWND window) {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (SUCCEEDED(SHQueryUserNotificationState(&state)) &&
      (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE || state == QUNS_NOT_PRESENT))
    return true;
  // With nothing else in front, the desktop itself may be the foreground
  // window: it covers the monitor too, and it is no program's.
  HWND fg = GetForegroundWindow();
  DWORD pid = 0;
  if (!fg || fg == GetDesktopWindow() || fg == GetShellWindow()) return false;
  if (!GetWindowThreadProcessId(fg, &pid) || pid == GetCurrentProcessId()) return false;
  if ((GetWindowLongW(fg, GWL_STYLE) & WS_CAPTION) == WS_CAPTION || IsZoomed(fg)) return false;
  wchar_t cls[16] = L"";
  GetClassNameW(fg, cls, 16);
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd"})
    if (lstrcmpW(cls, shell) == 0) return false;
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  RECT r{};
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi) || !GetWindowRect(fg, &r))
    return false;
  const RECT& m = mi.rcMonitor;
  return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

}  // namespace platform::win32
