// The scheduler's refusals: a walk does not start toward an edge of the
// desktop that ペッコ has reached. Right and down, the edge must be more
// than the margin ahead of his left or top edge on every line of his cell;
// left and up, his edge must be past its start. On one monitor that is
// Left + 128 pixels < width, Top + 128 pixels < height, Left > 0, Top > 0.
#include "windows/behaviour.h"

#include "windows/desktop.h"
#include "windows/frame.h"

bool refusesToStart(Activity activity, float left, float top, const platform::ScreenMetrics& screen,
                    const Monitors& monitors) {
  const float tx = screen.twipsPerPixelX, ty = screen.twipsPerPixelY;
  const Area cell{left, top, left + kCellWidth * tx, top + kWalkingSheet.cellHeight * ty};
  switch (activity) {
    case kWalkDown: return edgeRefuses(monitors, cell, true, true, kEdgeMarginPixels * ty);
    case kWalkUp: return edgeRefuses(monitors, cell, true, false, 0);
    case kWalkLeft: return edgeRefuses(monitors, cell, false, false, 0);
    case kWalkRight: return edgeRefuses(monitors, cell, false, true, kEdgeMarginPixels * tx);
    default: return false;
  }
}
