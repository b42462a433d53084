// Screen metrics; the resolution is read once, as it is fixed for the session.
#include "platform/win32/display.h"

#include "platform/win32/win32.h"

namespace platform::win32 {

namespace {

struct Resolution {
  float x = 15;
  float y = 15;
};

const Resolution& resolution() {
  static const Resolution r = [] {
    Resolution res;
    if (HDC screen = ::GetDC(nullptr)) {
      const int dx = GetDeviceCaps(screen, LOGPIXELSX);
      const int dy = GetDeviceCaps(screen, LOGPIXELSY);
      if (dx > 0) res.x = 1440.0f / static_cast<float>(dx);
      if (dy > 0) res.y = 1440.0f / static_cast<float>(dy);
      ::ReleaseDC(nullptr, screen);
    }
    return res;
  }();
  return r;
}

}  // namespace

float twipsPerPixelX() { return resolution().x; }
float twipsPerPixelY() { return resolution().y; }

ScreenMetrics screenMetrics() {
  ScreenMetrics m;
  m.twipsPerPixelX = twipsPerPixelX();
  m.twipsPerPixelY = twipsPerPixelY();
  m.width = static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * m.twipsPerPixelX;
  m.height = static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * m.twipsPerPixelY;
  return m;
}

}  // namespace platform::win32
