// Every cell of the committed sprite sheets holds a figure clear of its
// border, which would otherwise be cut off at the window's edge.
#include <gtest/gtest.h>

#include "gif_reader.hpp"

TEST(Sheets, EveryCellHoldsAFigureClearOfItsBorder) {
  for (const arttest::Sheet& s : arttest::sheets()) {
    ASSERT_EQ(s.px.size(), std::size_t(s.cells) * 64 * 2 * s.cellH) << s.file;
    for (int n = 0; n < s.cells; ++n) {
      int figure = 0, onBorder = 0;
      for (int y = 0; y < s.cellH; ++y)
        for (int x = 0; x < 64; ++x)
          if (s.figure(n, x, y)) ++figure, onBorder += x == 0 || y == 0 || x == 63 || y == s.cellH - 1;
      EXPECT_GT(figure, 400) << s.file << " cell " << n;
      EXPECT_EQ(onBorder, 0) << s.file << " cell " << n;
    }
  }
}
