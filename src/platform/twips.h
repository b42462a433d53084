// Conversions between twips and whole pixels, shared by the window classes
// and both platforms so that they round the same way.
#pragma once

#include <cmath>

namespace platform {

// Nearest integer, halves to even (the default floating-point rounding mode).
inline int roundEven(double v) { return static_cast<int>(std::lrint(v)); }

// A position or size in twips as whole pixels. The quotient is taken in
// single precision, as the twips values themselves are.
inline int toPixels(float twips, float twipsPerPixel) {
  return roundEven(static_cast<float>(twips / twipsPerPixel));
}

}  // namespace platform
