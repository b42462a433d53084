// The screen's size and its twips per pixel.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

// The manifest declares the program DPI-aware, so the screen's pixels are
// its real ones. Each pixel of the program is pixelScale() x pixelScale()
// of them (displayScale: 1 up to 143 dpi, 2 up to 239, ...), so that the
// characters keep their size on a dense display and stay sharp; the logic
// is given the twips per pixel of the program's pixels. The screen's size
// in twips is that of its real pixels.
int pixelScale();
float twipsPerPixelX();
float twipsPerPixelY();

ScreenMetrics screenMetrics();
// Every monitor's rectangle in twips, the primary first.
std::vector<Monitor> monitors();
// A rectangle in twips as the screen's pixels.
RECT screenRect(float left, float top, float right, float bottom);

// Whether the monitor that holds the centre of `window` (or the nearest)
// is taken: the system says a full-screen
// Direct3D program or a presentation runs, or the session is locked, behind
// a screen saver or not the user's; or the foreground window is another
// program's, without a caption, not maximized, and covers that monitor
// whole. (A busy state alone is not enough: overlays leave it set, and it
// comes for windows that do not fill the screen.)
bool screenTaken(HWND window);
// Whether a window's rectangle covers a monitor's whole.
bool coversMonitor(const RECT& window, const RECT& monitor);
// Whether any monitor that the area (screen pixels) overlaps is taken.
bool anyScreenTaken(const RECT& area);

}  // namespace platform::win32
