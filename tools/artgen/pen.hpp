// Local drawing coordinates for a body part: an origin plus a horizontal
// direction, so one piece of code draws a left- or a right-facing part.
#pragma once

#include <cmath>
#include <vector>

#include "raster.hpp"

namespace artgen {

struct Pen {
  double ox = 0, oy = 0;
  int sx = 1;  // +1: local x grows to the right; -1: mirrored

  double X(double dx) const { return ox + sx * dx; }
  double Y(double dy) const { return oy + dy; }
  Pt p(double dx, double dy) const { return {X(dx), Y(dy)}; }

  Shape ellipse(double dx, double dy, double rx, double ry) const {
    return artgen::ellipse(X(dx), Y(dy), rx, ry);
  }
  Shape circle(double dx, double dy, double r) const { return ellipse(dx, dy, r, r); }
  Shape capsule(Pt a, Pt b, double r) const { return artgen::capsule(p(a.x, a.y), p(b.x, b.y), r); }
  Shape box(double x0, double y0, double x1, double y1, double r = 0) const {
    return artgen::box(X(x0), Y(y0), X(x1), Y(y1), r);
  }
  Shape poly(std::vector<Pt> pts) const {
    for (Pt& q : pts) q = p(q.x, q.y);
    return artgen::polygon(std::move(pts));
  }
  // A pixel pattern whose local columns start at dx (left edge, before
  // mirroring) and rows at dy.  The origin must lie on a pixel edge.  The
  // pattern turns with the pen; flip turns it once more (the right eye of
  // a front face, whose asymmetric shapes point inwards).
  void stamp(Canvas& c, int dx, int dy, std::initializer_list<std::string_view> rows,
             std::initializer_list<Key> key, bool flip = false) const {
    const int w = rows.size() ? int(rows.begin()->size()) : 0;
    const int x = sx > 0 ? int(std::lround(ox)) + dx : int(std::lround(ox)) - dx - w;
    artgen::stamp(c, x, int(std::lround(oy)) + dy, rows, key, flip != (sx < 0));
  }
};

}  // namespace artgen
