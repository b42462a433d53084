// Screen metrics; the resolution is read once, as it is fixed for the session.
#include "platform/win32/display.h"

#include <algorithm>

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

namespace {

BOOL CALLBACK addMonitor(HMONITOR h, HDC, LPRECT, LPARAM list) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoW(h, &mi)) return TRUE;
  const float ix = resolution().inchX, iy = resolution().inchY;
  const RECT& r = mi.rcMonitor;
  reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
      {static_cast<float>(r.left) * ix, static_cast<float>(r.top) * iy, static_cast<float>(r.right) * ix,
       static_cast<float>(r.bottom) * iy, (mi.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

std::vector<Monitor> monitors() {
  std::vector<Monitor> out;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&out));
  if (out.empty()) {  // a system that cannot tell: the primary screen
    const ScreenMetrics m = screenMetrics();
    out.push_back({0, 0, m.width, m.height, true});
  }
  // The primary first, as the logic's tie-breaks expect.
  std::stable_partition(out.begin(), out.end(), [](const Monitor& m) { return m.primary; });
  return out;
}

namespace {

// The system says a full-screen Direct3D program or a presentation runs, or
// the session is locked, behind a screen saver or not the user's: that holds
// for every monitor.
bool sessionTaken() {
  QUERY_USER_NOTIFICATION_STATE state{};
  return SUCCEEDED(SHQueryUserNotificationState(&state)) &&
         (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE ||
          state == QUNS_NOT_PRESENT);
}

// The foreground window's rectangle when it is another program's, without a
// caption, not maximized and not the desktop or the taskbar: the kind of
// window that takes a monitor full screen.
bool fullScreenCandidate(RECT& r) {
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
  return GetWindowRect(fg, &r) != 0;
}

bool covers(const RECT& r, HMONITOR monitor) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoW(monitor, &mi)) return false;
  return coversMonitor(r, mi.rcMonitor);
}

struct TakenSearch {
  RECT fg;
  bool taken = false;
};

BOOL CALLBACK findCovered(HMONITOR h, HDC, LPRECT, LPARAM p) {
  auto* s = reinterpret_cast<TakenSearch*>(p);
  s->taken = s->taken || covers(s->fg, h);
  return !s->taken;
}

}  // namespace

bool coversMonitor(const RECT& r, const RECT& m) {
  return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

bool screenTaken(HWND window) {
  if (sessionTaken()) return true;
  RECT fg{}, w{};
  if (!fullScreenCandidate(fg) || !GetWindowRect(window, &w)) return false;
  const POINT centre{w.left + (w.right - w.left) / 2, w.top + (w.bottom - w.top) / 2};
  return covers(fg, MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST));
}

bool anyScreenTaken(const RECT& area) {
  if (sessionTaken()) return true;
  RECT fg{};
  if (IsRectEmpty(&area) || !fullScreenCandidate(fg)) return false;
  TakenSearch search{fg};
  EnumDisplayMonitors(nullptr, &area, findCovered, reinterpret_cast<LPARAM>(&search));
  return search.taken;
}

RECT screenRect(float left, float top, float right, float bottom) {
  const float ix = resolution().inchX, iy = resolution().inchY;
  return {roundEven(left / ix), roundEven(top / iy), roundEven(right / ix), roundEven(bottom / iy)};
}

}  // namespace platform::win32
