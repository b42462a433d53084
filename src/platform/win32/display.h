// The screen's size and its twips per pixel.
#pragma once

#include "platform/platform.h"

namespace platform::win32 {

// Twips per pixel are 1440 / the screen's pixels per logical inch. The
// manifest declares the program DPI-aware, so these are the real pixels of
// the screen and not the 96-dpi pixels of a scaled window.
float twipsPerPixelX();
float twipsPerPixelY();

ScreenMetrics screenMetrics();

}  // namespace platform::win32
