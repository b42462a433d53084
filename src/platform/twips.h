// Conversions between twips and whole pixels, shared by the window classes
// and both platforms so that they round the same way.
#pragma once

#include <algorithm>
#include <cmath>

namespace platform {

// Nearest integer, halves to even (the default floating-point rounding mode).
inline int roundEven(double v) { return static_cast<int>(std::lrint(v)); }

// A position or size in twips as whole pixels. The quotient is taken in
// single precision, as the twips values themselves are.
inline int toPixels(float twips, float twipsPerPixel) {
  return roundEven(static_cast<float>(twips / twipsPerPixel));
}

// The program's fixed moves were drawn on a display of 15 twips per pixel.
// Such a distance, in twips at another scale, is the same number of pixels.
inline constexpr float kDesignTwipsPerPixel = 15;
inline float designTwips(float twips, float twipsPerPixel) {
  return twips * static_cast<float>(twipsPerPixel / kDesignTwipsPerPixel);
}

// A display of `dpi` pixels per logical inch shows each of the program's
// pixels as s x s of its own: s is dpi / 96 to the nearest whole number,
// halves up, at least 1. One such pixel is 1440 * s / dpi twips.
inline int displayScale(int dpi) { return std::max(1, (dpi + 48) / 96); }
inline float twipsPerScaledPixel(int dpi) {
  return static_cast<float>(1440 * displayScale(dpi)) / static_cast<float>(dpi);
}

}  // namespace platform
