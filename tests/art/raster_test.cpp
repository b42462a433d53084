// The committed sprite sheets' pixels: every cell holds a figure clear of
// its border, and all of a sheet's figures stand on one ground row, so that
// a change of cell never makes a character hop. (That mask and image fit
// together is checked where each cell is drawn, in frame_test.cpp.)
#include <gtest/gtest.h>

#include "gif_reader.hpp"

namespace {

using namespace arttest;

TEST(SheetPixels, FiguresClearOfTheBorderOnOneGroundRow) {
  // rer squats (cells 4 to 7) beside ペッコ in a window 18 pixels higher:
  // on ペッコ's ground, 18 rows lower in his cell.
  int pekkoGround = -1;
  for (const SheetLayout& s : kSheets) {
    const Gif& g = sheet(s.file);
    ASSERT_EQ(g.w, 64 * s.cells) << s.file;
    int ground = -1;
    for (int n = 0; n < s.cells; ++n) {
      SCOPED_TRACE(testing::Message() << s.file << " cell " << n);
      int figure = 0, onBorder = 0, lowest = -1;
      for (int y = 0; y < s.cellH; ++y)
        for (int x = 0; x < 64; ++x)
          if (g.at(n * 64 + x, s.cellH + y) == 0) {
            ++figure, lowest = y;
            onBorder += x == 0 || y == 0 || x == 63 || y == s.cellH - 1;
          }
      EXPECT_GT(figure, 400);
      EXPECT_EQ(onBorder, 0);
      const bool squatting = s.cellH == 92 && n >= 4 && n <= 7;
      if (ground < 0) ground = lowest;
      EXPECT_EQ(lowest, squatting ? pekkoGround + 18 : ground);
    }
    if (s.cellH == 64) pekkoGround = ground;
  }
}

}  // namespace
