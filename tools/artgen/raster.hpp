// A tiny indexed-colour raster with the handful of shape operations the rigs
// need.  Coordinates are in pixels; pixel (x, y) covers [x, x+1) × [y, y+1)
// and a shape contains the pixel when it contains the pixel's centre.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "palette.hpp"

namespace artgen {

struct Canvas {
  int w = 0, h = 0;
  std::vector<std::uint8_t> px;  // Col indices, row-major

  Canvas() = default;
  Canvas(int width, int height) : w(width), h(height), px(std::size_t(width) * height, Bg) {}

  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  std::uint8_t at(int x, int y) const { return inside(x, y) ? px[std::size_t(y) * w + x] : std::uint8_t(Bg); }
  void set(int x, int y, std::uint8_t c) {
    if (inside(x, y)) px[std::size_t(y) * w + x] = c;
  }
  bool figure(int x, int y) const { return at(x, y) != Bg; }
};

// A region of the plane, tested at pixel centres.
using Shape = std::function<bool(double x, double y)>;

struct Pt {
  double x = 0, y = 0;
};

Shape ellipse(double cx, double cy, double rx, double ry);
Shape circle(double cx, double cy, double r);
// Every point within r of the segment a-b.
Shape capsule(Pt a, Pt b, double r);
// Axis-aligned box [x0, x1) × [y0, y1) with corners rounded by radius r.
Shape box(double x0, double y0, double x1, double y1, double r = 0);
// Even-odd polygon.
Shape polygon(std::vector<Pt> pts);
Shape unite(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape shifted(Shape s, double dx, double dy);

// Paints the shape's pixels with `col`, no outline.
void fill(Canvas& c, const Shape& s, std::uint8_t col);
// Paints only pixels that are already figure (keeps the silhouette).
void fillOver(Canvas& c, const Shape& s, std::uint8_t col);
// Paints the shape with `col` and surrounds it with a 1 px `line` ring
// (the pixels outside it that touch it left, right, above or below).  The
// ring is drawn over whatever lies there, which gives inner contour lines
// between overlapping parts.
void fillOutlined(Canvas& c, const Shape& s, std::uint8_t col, std::uint8_t line = Line);
// Paints `col` over the part of the shape that a copy moved by (dx, dy) does
// not cover: a crescent of shade on the side opposite the light.  Only pixels
// already holding `base` change, so contour lines survive.
void shade(Canvas& c, const Shape& s, double dx, double dy, std::uint8_t base, std::uint8_t col);
// A part in its colour with its shaded side: fillOutlined with `base`, then
// shade with `shadeCol` for a copy moved by (dx, dy).
void fillShaded(Canvas& c, const Shape& s, std::uint8_t base, std::uint8_t shadeCol, double dx, double dy);

// Turns every background pixel that touches a non-outline figure pixel
// (4-neighbourhood) into `line`: closes the outline around marks drawn
// without one, so that every figure stands out on any desktop.
void outlineFigure(Canvas& c, std::uint8_t line = Line);

// Draws a small pixel pattern with its top-left pixel at (x, y).  Each char
// is looked up in `key` (pairs of char and colour); '.' and unknown chars are
// left untouched.  With mirror the pattern is flipped left to right.
struct Key {
  char ch;
  std::uint8_t col;
};
void stamp(Canvas& c, int x, int y, std::initializer_list<std::string_view> rows,
           std::initializer_list<Key> key, bool mirror = false);

// Left-right mirror image.
Canvas mirrored(const Canvas& c);
// Copies the figure pixels of `src` onto `dst` with its origin at (x, y).
void overlay(Canvas& dst, const Canvas& src, int x = 0, int y = 0);

}  // namespace artgen
