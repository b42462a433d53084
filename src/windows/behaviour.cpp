// The scheduler's refusals: a walk does not start toward an edge that
// ペッコ has reached. The sums are rounded to single precision before they
// are compared, like every value computed for a comparison.
#include "windows/behaviour.h"

bool refusesToStart(Activity activity, float left, float top, const platform::ScreenMetrics& screen) {
  switch (activity) {
    case kWalkDown: {
      const float bottom = top + kEdgeMarginPixels * screen.twipsPerPixelY;
      return bottom >= screen.height;
    }
    case kWalkUp: return !(top > 0);
    case kWalkLeft: return !(left > 0);
    case kWalkRight: {
      const float right = left + kEdgeMarginPixels * screen.twipsPerPixelX;
      return right >= screen.width;
    }
    default: return false;
  }
}
