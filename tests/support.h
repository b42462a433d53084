// The program on a simulated desktop, and frames worked out from the sheets
// alone, not by the drawing code.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

namespace testing_support {

using platform::Bitmap;
using platform::Picture;
using platform::sim::SimDesktop;
using platform::sim::SimWindow;

inline constexpr std::uint32_t kDesk = 0x3A6EA5;  // a plain desktop colour

// Monitors: two side by side of different heights, an L of three, one left of the primary.
using Layout = std::vector<platform::sim::SimMonitor>;
inline const Layout kSideBySide{{0, 0, 1024, 768, true}, {1024, 0, 800, 600}};
inline const Layout kL{{0, 0, 1024, 768, true}, {1024, 0, 1024, 768}, {0, 768, 1024, 768}};
inline const Layout kLeft{{0, 0, 1024, 768, true}, {-1280, -200, 1280, 1024}};

// The program on a desktop of 1024 x 768 pixels unless told otherwise.
struct ProgramOnDesktop {
  explicit ProgramOnDesktop(float twipsPerPixel = 15, int width = 1024, int height = 768, float tppY = 0)
      : desk(width, height, twipsPerPixel, tppY) {}
  SimDesktop desk;
  Program app{desk};

  void start() { app.start(); }
  platform::Timer& timer() { return app.pekko().Timer1(); }
  void tick() { desk.advance(timer().interval()); }  // one tick, as the event loop gives it
  // Numbers for the next random draws, in order.
  void script(std::initializer_list<double> r) { desk.scriptedRandom.insert(desk.scriptedRandom.end(), r); }
  SimWindow& pekko() { return static_cast<SimWindow&>(app.pekko().form()); }
  SimWindow& rion() { return static_cast<SimWindow&>(app.rion().form()); }
  SimWindow& menu() { return static_cast<SimWindow&>(app.menu().form()); }
  std::string mgo() { return app.menu().mfile().caption(::mgo); }
  std::string shown(SimWindow& w);
  // What the screen shows where a window is, one cell in size.
  Bitmap onScreen(const SimWindow& w, int h = 64) { return desk.capture(w.pixelX(), w.pixelY(), 64, h); }
};

inline const Bitmap& sheet(Picture p) {
  static const Bitmap sheets[] = {SimDesktop::picture(Picture::rPic1), SimDesktop::picture(Picture::rPic2),
                                  SimDesktop::picture(Picture::rPic3)};
  return sheets[static_cast<int>(p)];
}

// A cell over `background`: the image where the mask is black.
inline Bitmap composite(Picture p, int cell, const Bitmap& background) {
  const Bitmap& s = sheet(p);
  Bitmap out = background;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < 64; ++x)
      if (s.at(cell * 64 + x, out.height + y) == 0) out.at(x, y) = s.at(cell * 64 + x, y);
  return out;
}

// A desktop whose every pixel differs from its neighbours (a capture one pixel
// off shows), or its part under a cell at (x0, y0).
inline Bitmap patternedDesktop(int x0 = 0, int y0 = 0, int w = 1024, int h = 768) {
  Bitmap b(w, h);
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      b.at(x - x0, y - y0) = std::uint32_t(x * 7 % 256) << 16 | y * 13 % 256 << 8 | (x + y) * 29 % 256;
  return b;
}

// The cell a window holds ("walk 3", "action 12", "rer 4" or "?"): every figure
// pixel shows its image; of several, the largest figure (a smaller can lie inside).
inline std::string ProgramOnDesktop::shown(SimWindow& w) {
  std::string best = "?";
  int bestFigure = 0;
  for (Picture p :
       &w == &rion() ? std::vector{Picture::rPic3} : std::vector{Picture::rPic1, Picture::rPic2}) {
    const Bitmap& b = sheet(p);
    const int h = b.height / 2;
    for (int c = 0; c < b.width / 64; ++c) {
      int figure = 0;
      bool matches = true;
      for (int y = 0; y < h && matches; ++y)
        for (int x = 0; x < 64 && matches; ++x)
          if (b.at(c * 64 + x, h + y) == 0) ++figure, matches = w.back.at(x, y) == b.at(c * 64 + x, y);
      const char* names[] = {"walk ", "action ", "rer "};
      if (matches && figure > bestFigure) best = names[int(p)] + std::to_string(c), bestFigure = figure;
    }
  }
  return best;
}

// A random number that makes a draw from 1 to n give `value`.
inline double drawOf(int value, int n) { return (value - 0.5) / n; }

}  // namespace testing_support
