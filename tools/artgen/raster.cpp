#include "raster.hpp"

#include <algorithm>
#include <cmath>

namespace artgen {

Shape ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  };
}

Shape circle(double cx, double cy, double r) { return ellipse(cx, cy, r, r); }

Shape capsule(Pt a, Pt b, double r) {
  return [=](double x, double y) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
    return dx * dx + dy * dy <= r * r;
  };
}

Shape box(double x0, double y0, double x1, double y1, double r) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  return [=](double x, double y) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    if (r <= 0) return true;
    // Distance from the inner rectangle shrunk by r.
    const double qx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
    const double qy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
    return qx * qx + qy * qy <= r * r;
  };
}

Shape polygon(std::vector<Pt> pts) {
  return [pts = std::move(pts)](double x, double y) {
    bool in = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const Pt a = pts[i], b = pts[j];
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
  };
}

Shape unite(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) || b(x, y); };
}
Shape intersect(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && b(x, y); };
}
Shape subtract(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}
Shape shifted(Shape s, double dx, double dy) {
  return [=](double x, double y) { return s(x - dx, y - dy); };
}

namespace {
std::vector<char> coverage(const Canvas& c, const Shape& s) {
  std::vector<char> in(std::size_t(c.w) * c.h);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) in[std::size_t(y) * c.w + x] = s(x + 0.5, y + 0.5);
  return in;
}
}  // namespace

void fill(Canvas& c, const Shape& s, std::uint8_t col) {
  const auto in = coverage(c, s);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (in[std::size_t(y) * c.w + x]) c.set(x, y, col);
}

void fillOver(Canvas& c, const Shape& s, std::uint8_t col) {
  const auto in = coverage(c, s);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (in[std::size_t(y) * c.w + x] && c.figure(x, y)) c.set(x, y, col);
}

void fillOutlined(Canvas& c, const Shape& s, std::uint8_t col, std::uint8_t line) {
  const auto in = coverage(c, s);
  auto covered = [&](int x, int y) { return c.inside(x, y) && in[std::size_t(y) * c.w + x]; };
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      if (covered(x, y))
        c.set(x, y, col);
      else if (covered(x - 1, y) || covered(x + 1, y) || covered(x, y - 1) || covered(x, y + 1))
        c.set(x, y, line);
    }
}

void shade(Canvas& c, const Shape& s, double dx, double dy, std::uint8_t base, std::uint8_t col) {
  const auto in = coverage(c, subtract(s, shifted(s, dx, dy)));
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (in[std::size_t(y) * c.w + x] && c.at(x, y) == base) c.set(x, y, col);
}

void fillShaded(Canvas& c, const Shape& s, std::uint8_t base, std::uint8_t shadeCol, double dx, double dy) {
  fillOutlined(c, s, base);
  shade(c, s, dx, dy, base, shadeCol);
}

void outlineFigure(Canvas& c, std::uint8_t line) {
  // Only pixels that are not outline already call for one: parts drawn
  // with fillOutlined bring their own ring.
  const Canvas before = c;
  auto solid = [&](int x, int y) { return before.figure(x, y) && before.at(x, y) != line; };
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (!before.figure(x, y) && (solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1)))
        c.set(x, y, line);
}

void stamp(Canvas& c, int x, int y, std::initializer_list<std::string_view> rows,
           std::initializer_list<Key> key, bool mirror) {
  int dy = 0;
  for (std::string_view row : rows) {
    const int n = int(row.size());
    for (int i = 0; i < n; ++i) {
      const char ch = row[std::size_t(mirror ? n - 1 - i : i)];
      for (const Key& k : key)
        if (k.ch == ch) c.set(x + i, y + dy, k.col);
    }
    ++dy;
  }
}

Canvas mirrored(const Canvas& c) {
  Canvas m(c.w, c.h);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) m.set(c.w - 1 - x, y, c.at(x, y));
  return m;
}

void overlay(Canvas& dst, const Canvas& src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy)
    for (int sx = 0; sx < src.w; ++sx)
      if (src.figure(sx, sy)) dst.set(x + sx, y + sy, src.at(sx, sy));
}

}  // namespace artgen
