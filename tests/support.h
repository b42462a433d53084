// Shared test fixtures: the program started on a simulated desktop, and the
// look of a frame worked out from the sheets alone, not by the drawing code.
#pragma once

#include <gtest/gtest.h>

#include <vector>
#include <string>

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

// A plain desktop colour.
inline constexpr std::uint32_t kDesk = 0x3A6EA5;

// The program on a desktop of 1024 x 768 pixels unless told otherwise.
struct ProgramOnDesktop {
  explicit ProgramOnDesktop(float twipsPerPixel = 15, int width = 1024, int height = 768)
      : desk(width, height, twipsPerPixel) {}
  SimDesktop desk;
  Program app{desk};

  void start() { app.start(); }
  // One tick of Timer1, as the event loop delivers it.
  void tick() { desk.advance(app.pekko().Timer1().interval()); }
  // Numbers for the next random draws, in order.
  void script(std::initializer_list<double> r) { desk.scriptedRandom.insert(desk.scriptedRandom.end(), r); }
  SimWindow& pekko() { return static_cast<SimWindow&>(app.pekko().form()); }
  SimWindow& rion() { return static_cast<SimWindow&>(app.rion().form()); }
  SimWindow& menu() { return static_cast<SimWindow&>(app.menu().form()); }
  std::string mgo() { return app.menu().mfile().caption(::mgo); }
  // The cell ペッコ's or rer's window holds.
  std::string shown(SimWindow& w);
  // What the screen shows where a window is, one cell in size.
  Bitmap onScreen(const SimWindow& w, int height = 64) const {
    return desk.capture(w.pixelX(), w.pixelY(), 64, height);
  }
};

inline const Bitmap& sheet(Picture p) {
  static const Bitmap sheets[] = {SimDesktop::picture(Picture::rPic1), SimDesktop::picture(Picture::rPic2),
                                  SimDesktop::picture(Picture::rPic3)};
  return sheets[static_cast<int>(p)];
}

// A cell as it must look over `background`: where the mask is white the
// background, where it is black the image.
inline Bitmap composite(Picture p, int cell, const Bitmap& background) {
  const Bitmap& s = sheet(p);
  const int height = background.height;
  Bitmap out(64, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 64; ++x)
      out.at(x, y) = s.at(cell * 64 + x, height + y) == 0 ? s.at(cell * 64 + x, y) : background.at(x, y);
  return out;
}

// A desktop picture in which every pixel differs from its neighbours, so
// that a capture one pixel off cannot go unnoticed.
inline Bitmap patternedDesktop(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.at(x, y) = (static_cast<std::uint32_t>(x * 7 % 256) << 16) |
                   (static_cast<std::uint32_t>(y * 13 % 256) << 8) |
                   static_cast<std::uint32_t>((x + y) * 29 % 256);
  return b;
}

// The desktop picture under a 64-pixel-wide cell at (x0, y0); black off the
// screen, as a capture has it.
inline Bitmap desktopUnder(const SimDesktop& desk, int x0, int y0, int height) {
  const Bitmap& d = desk.desktop();
  Bitmap b(64, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 64; ++x)
      if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < d.width && y0 + y < d.height)
        b.at(x, y) = d.at(x0 + x, y0 + y);
  return b;
}

// The cell a character's window holds, whatever lies behind it: "walk 3",
// "action 12", "rer 4", or "?". A cell matches when every pixel of its
// figure (black in its mask) shows its image; of several, the one with the
// most figure pixels, since a smaller figure can lie inside a larger one.
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
