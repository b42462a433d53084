// The desktop as the characters see it: the union of the monitors, in twips.
// Plain functions of the monitors' rectangles, so that the rules about
// edges can be tested on any layout, and a monitor's rectangle is read in
// one place only.
#pragma once

#include <vector>

#include "platform/monitors.h"
#include "platform/platform.h"

using Monitors = std::vector<platform::Monitor>;

// A rectangle in twips: left and top inside, right and bottom just past it.
struct Area {
  float left, top, right, bottom;
};

// Whether a walk with this margin (twips) would start toward an edge that
// has no monitor beyond it, for a cell `cell` at its place now. `vertical`
// walks move top and bottom, `forward` ones right or down. A forward walk
// is refused when, on some line of the cell that the desktop has, the run
// of monitors under the cell ends within the margin; a backward one when
// the cell's edge is at or past the run's start on some line.
bool edgeRefuses(const Monitors& monitors, const Area& cell, bool vertical, bool forward, float margin);

// Where rer starts his ride in: past the right edge of `from`, and of each
// monitor that goes on from there with his whole cell on it, for a cell
// from `top` to `bottom`.
float rideInFrom(const Monitors& monitors, const platform::Monitor& from, float top, float bottom);

// Whether a cell `width` wide at `left`, on the lines from `top` to
// `bottom`, still has a pixel on a monitor or a monitor to its left on
// those lines (on the nearest monitor's, when it is on none): a ride to the
// left goes on while it does, and ends with him on no monitor.
bool notPastLeftEnd(const Monitors& monitors, float left, float width, float top, float bottom);

// The nearest place for a cell of `cellPixels` at (left, top) that puts it
// wholly on one monitor, on whole pixels of `tx` and `ty` twips; its own
// place when it is wholly on one already.
struct Place {
  float left, top;
};
Place nearestWhollyOn(const Monitors& monitors, float left, float top, int cellPixels, float tx, float ty);
