// What both rigs draw alike: the colour key of their face patterns and the
// sweat drop.
#pragma once

#include <cmath>
#include <initializer_list>

#include "raster.hpp"

namespace artgen {

// Face patterns: o outline, w white, m inside of the mouth, c cheek, b blush.
inline const std::initializer_list<Key> kFaceKey = {
    {'o', Line}, {'w', White}, {'m', MouthIn}, {'c', Cheek}, {'b', Blush}};

// A drop with its round end centred on (x, y) and its tip pointing up, with
// a white glint on the left.
inline void sweat(Canvas& c, double x, double y) {
  fillOutlined(
      c, unite(circle(x, y, 2.0), polygon({{x - 1.9, y - 0.4}, {x + 1.9, y - 0.4}, {x + 0.3, y - 4.5}})),
      Sweat);
  c.set(int(std::floor(x)) - 1, int(std::floor(y)), White);
}

}  // namespace artgen
