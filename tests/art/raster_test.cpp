// All of a committed sheet's figures stand on one ground row, so that a
// change of cell never makes a character hop. rer squats (cells 4 to 7)
// beside ペッコ in a window 18 pixels higher: on ペッコ's ground, 18 rows
// lower in his cell.
#include <gtest/gtest.h>

#include "gif_reader.hpp"

TEST(Sheets, AllFiguresStandOnOneGroundRow) {
  int pekkoGround = -1;
  for (const arttest::Sheet& s : arttest::sheets()) {
    ASSERT_FALSE(s.px.empty()) << s.file;
    int ground = -1;
    for (int n = 0; n < s.cells; ++n) {
      int lowest = -1;
      for (int y = 0; y < s.cellH; ++y)
        for (int x = 0; x < 64; ++x)
          if (s.figure(n, x, y)) lowest = y;
      if (ground < 0) ground = lowest;
      const bool squatting = s.cellH == 92 && n >= 4 && n <= 7;
      EXPECT_EQ(lowest, squatting ? pekkoGround + 18 : ground) << s.file << " cell " << n;
    }
    if (s.cellH == 64) pekkoGround = ground;
  }
}
