// The desktop's edges for walks, rides and a changed display. Monitors may
// lie side by side, stacked, in an L or left of the primary; each line
// across the desktop is a row of monitors that touch or overlap (runs).
#include "windows/desktop.h"

#include <algorithm>
#include <cmath>
#include <limits>

using platform::Monitor;

namespace {

struct Span {
  float lo, hi;
};

Span along(const Monitor& m, bool vertical) {
  return vertical ? Span{m.top, m.bottom} : Span{m.left, m.right};
}
Span across(const Monitor& m, bool vertical) {
  return vertical ? Span{m.left, m.right} : Span{m.top, m.bottom};
}

// How far a span lies from the stretch [lo, hi): 0 when they overlap.
float gap(Span s, float lo, float hi) { return s.lo >= hi ? s.lo - hi : s.hi <= lo ? lo - s.hi : 0.0f; }

// The runs of the monitors `on` a line, along it, left to right.
std::vector<Span> runs(std::vector<Span> spans) {
  std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.lo < b.lo; });
  std::vector<Span> out;
  for (const Span& s : spans)
    if (!out.empty() && s.lo <= out.back().hi)
      out.back().hi = std::max(out.back().hi, s.hi);
    else
      out.push_back(s);
  return out;
}

// On one line: the run under p, or else the first beyond it (none: null).
const Span* runFrom(const std::vector<Span>& line, float p) {
  for (const Span& r : line)
    if (p < r.hi) return &r;
  return nullptr;
}

// The monitor whose span across lies nearest the stretch [lo, hi).
const Monitor& nearestAcross(const Monitors& monitors, bool vertical, float lo, float hi) {
  const Monitor* nearest = &monitors.front();
  for (const Monitor& m : monitors)
    if (gap(across(m, vertical), lo, hi) < gap(across(*nearest, vertical), lo, hi)) nearest = &m;
  return *nearest;
}

bool lineRefuses(const std::vector<Span>& line, float p, bool forward, float margin) {
  const Span* r = runFrom(line, p);
  if (forward) {
    if (!r) return true;  // nothing ahead at all
    const float reach = p + margin;
    return reach >= r->hi;
  }
  return r && p <= r->lo;  // at or before its start; with nothing ahead he walks back onto it
}

}  // namespace

bool edgeRefuses(const Monitors& monitors, const Area& cell, bool vertical, bool forward, float margin) {
  const Span a = vertical ? Span{cell.top, cell.bottom} : Span{cell.left, cell.right};
  const Span c = vertical ? Span{cell.left, cell.right} : Span{cell.top, cell.bottom};
  // The lines to look at: the cell's first, and each where a monitor
  // begins or ends within it; between two of them nothing changes.
  std::vector<float> lines{c.lo};
  for (const Monitor& m : monitors)
    for (float edge : {across(m, vertical).lo, across(m, vertical).hi})
      if (c.lo < edge && edge < c.hi) lines.push_back(edge);
  bool anyLine = false;
  for (float at : lines) {
    std::vector<Span> on;
    for (const Monitor& m : monitors)
      if (const Span s = across(m, vertical); s.lo <= at && at < s.hi) on.push_back(along(m, vertical));
    if (on.empty()) continue;
    anyLine = true;
    if (lineRefuses(runs(on), a.lo, forward, margin)) return true;
  }
  if (anyLine) return false;
  // Wholly beside the desktop: judged by the nearest monitor's line.
  return lineRefuses({along(nearestAcross(monitors, vertical, c.lo, c.hi), vertical)}, a.lo, forward, margin);
}

float rideInFrom(const Monitors& monitors, const Monitor& from, float top, float bottom) {
  float edge = from.right;
  for (std::size_t hops = 0; hops < monitors.size(); ++hops) {
    const auto next = std::find_if(monitors.begin(), monitors.end(), [&](const Monitor& m) {
      return m.left == edge && m.right > edge && m.top <= top && bottom <= m.bottom;
    });
    if (next == monitors.end()) break;
    edge = next->right;
  }
  return edge;
}

bool notPastLeftEnd(const Monitors& monitors, float left, float width, float top, float bottom) {
  float leftEnd = std::numeric_limits<float>::infinity();
  for (const Monitor& m : monitors)
    if (gap({m.top, m.bottom}, top, bottom) == 0) leftEnd = std::min(leftEnd, m.left);
  if (leftEnd == std::numeric_limits<float>::infinity())
    leftEnd = nearestAcross(monitors, false, top, bottom).left;
  const float bound = leftEnd - width;
  return bound < left;
}

Place nearestWhollyOn(const Monitors& monitors, float left, float top, int cellPixels, float tx, float ty) {
  // Whole pixels of the program, so that no rounding puts a pixel of him
  // past the monitor's edge.
  const auto clamp = [cellPixels](float v, float lo, float hi, float tpp) {
    const float first = std::ceil(static_cast<float>(lo / tpp)) * tpp;
    const float last = (std::floor(static_cast<float>(hi / tpp)) - static_cast<float>(cellPixels)) * tpp;
    return std::max(first, std::min(v, last));
  };
  Place best{left, top};
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const Monitor& m : monitors) {
    const Place p{clamp(left, m.left, m.right, tx), clamp(top, m.top, m.bottom, ty)};
    const double dx = p.left - left, dy = p.top - top, d = dx * dx + dy * dy;
    if (d == 0) return p;
    if (d < bestDistance) best = p, bestDistance = d;
  }
  return best;
}
