// Shared test fixtures: the program started on a simulated desktop, and the
// expected look of a frame computed independently of the drawing code.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

// A plain desktop colour for tests that tell cells apart.
inline constexpr std::uint32_t kDesk = 0x3A6EA5;

// The program on a 1024 x 768 desktop, by default at 15 twips per pixel.
struct ProgramOnDesktop {
  explicit ProgramOnDesktop(float twipsPerPixel = 15) : desk(1024, 768, twipsPerPixel) {}
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
  // What the screen shows where a window is, one cell in size.
  Bitmap onScreen(const SimWindow& w, int height = 64) const {
    return desk.capture(w.pixelX(), w.pixelY(), 64, height);
  }
};

// The program started on the plain desktop.
class PlainDesktopTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override {
    desk.fillDesktop(kDesk);
    start();
  }
};

// A cell as it must look over `background`: where the mask is white the
// background, where it is black the image.
inline Bitmap composite(const Bitmap& sheet, int cell, int height, const Bitmap& background) {
  Bitmap out(64, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 64; ++x) {
      const std::uint32_t image = sheet.at(cell * 64 + x, y);
      const std::uint32_t mask = sheet.at(cell * 64 + x, height + y);
      out.at(x, y) = mask == 0 ? image : background.at(x, y);
    }
  return out;
}

inline const Bitmap& sheet(Picture p) {
  static const Bitmap sheets[] = {SimDesktop::picture(Picture::rPic1), SimDesktop::picture(Picture::rPic2),
                                  SimDesktop::picture(Picture::rPic3)};
  return sheets[static_cast<int>(p)];
}

// A desktop picture with fine structure: every pixel differs from its
// neighbours, so a misplaced capture cannot go unnoticed.
inline Bitmap patternedDesktop(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.at(x, y) = (static_cast<std::uint32_t>(x * 7 % 256) << 16) |
                   (static_cast<std::uint32_t>(y * 13 % 256) << 8) |
                   static_cast<std::uint32_t>((x + y) * 29 % 256);
  return b;
}

// The desktop picture under a 64-pixel-wide cell at (x, y): what a frame
// there must show around the figure. Off the screen it is black, as a
// capture has it.
inline Bitmap desktopUnder(const SimDesktop& desk, int x0, int y0, int height) {
  const Bitmap& d = desk.desktop();
  Bitmap b(64, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 64; ++x) {
      const int sx = x0 + x, sy = y0 + y;
      if (sx >= 0 && sy >= 0 && sx < d.width && sy < d.height) b.at(x, y) = d.at(sx, sy);
    }
  return b;
}

// Which cell of ペッコ's two sheets a 64 x 64 picture shows over a uniform
// background: "walk 3", "action 12", or "?".
class CellIdentifier {
 public:
  explicit CellIdentifier(std::uint32_t background) {
    const Bitmap bg(64, 64, background);
    for (int c = 0; c < 12; ++c)
      known_[composite(sheet(Picture::rPic1), c, 64, bg).pixels] = "walk " + std::to_string(c);
    for (int c = 0; c < 14; ++c)
      known_.emplace(composite(sheet(Picture::rPic2), c, 64, bg).pixels, "action " + std::to_string(c));
  }
  std::string operator()(const Bitmap& shown) const {
    const auto it = known_.find(shown.pixels);
    return it == known_.end() ? "?" : it->second;
  }

 private:
  std::map<std::vector<std::uint32_t>, std::string> known_;
};

// A random number that makes a draw from 1 to n give `value`.
inline double drawOf(int value, int n) { return (value - 0.5) / n; }

}  // namespace testing_support
