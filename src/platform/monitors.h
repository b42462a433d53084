// Which monitor a point of the desktop belongs to, shared by the window
// classes and the simulated desktop so that both answer alike.
#pragma once

#include <limits>
#include <vector>

#include "platform/platform.h"

namespace platform {

inline bool holds(const Monitor& m, float x, float y) {
  return m.left <= x && x < m.right && m.top <= y && y < m.bottom;
}

// The monitor that holds the point, or else the nearest one (the first of
// equally near ones). The list must not be empty.
inline const Monitor& monitorAt(const std::vector<Monitor>& monitors, float x, float y) {
  const Monitor* best = &monitors.front();
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const Monitor& m : monitors) {
    const double dx = x < m.left ? m.left - x : x >= m.right ? x - m.right : 0.0;
    const double dy = y < m.top ? m.top - y : y >= m.bottom ? y - m.bottom : 0.0;
    const double d = holds(m, x, y) ? -1 : dx * dx + dy * dy;
    if (d < bestDistance) best = &m, bestDistance = d;
  }
  return *best;
}

}  // namespace platform
