// Layout of the committed sprite sheets, read back from resources/.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "gif_reader.hpp"

namespace {

using arttest::Gif;
using arttest::Px;

struct SheetLayout {
  const char* file;
  int cells;
  int cellH;
  int tableSize;
};

const SheetLayout kSheets[] = {
    {"rPic1.gif", 12, 64, 16},
    {"rPic2.gif", 14, 64, 32},
    {"rPic3.gif", 11, 92, 64},
};

void PrintTo(const SheetLayout& s, std::ostream* os) { *os << s.file; }

const Gif& load(const SheetLayout& s) {
  static std::map<std::string, Gif> cache;
  auto it = cache.find(s.file);
  if (it == cache.end())
    it = cache.emplace(s.file, arttest::readGif(std::string(ART_SOURCE_DIR) + "/resources/" + s.file)).first;
  return it->second;
}

// Figure pixels of one cell, from its mask.
bool fig(const Gif& g, const SheetLayout& s, int cell, int x, int y) {
  return g.at(cell * 64 + x, s.cellH + y).black();
}

int lowestRow(const Gif& g, const SheetLayout& s, int cell) {
  for (int y = s.cellH - 1; y >= 0; --y)
    for (int x = 0; x < 64; ++x)
      if (fig(g, s, cell, x, y)) return y;
  return -1;
}

int topRow(const Gif& g, const SheetLayout& s, int cell) {
  for (int y = 0; y < s.cellH; ++y)
    for (int x = 0; x < 64; ++x)
      if (fig(g, s, cell, x, y)) return y;
  return -1;
}

class SheetTest : public ::testing::TestWithParam<SheetLayout> {};

TEST_P(SheetTest, IsASingleFrameGif89aWithItsGlobalTable) {
  const SheetLayout s = GetParam();
  const Gif& g = load(s);
  EXPECT_EQ(g.signature, "GIF89a");
  EXPECT_EQ(g.w, 64 * s.cells);
  EXPECT_EQ(g.h, 2 * s.cellH);
  EXPECT_EQ(g.frames, 1);
  EXPECT_EQ(int(g.table.size()), s.tableSize);
  EXPECT_FALSE(g.localTable);
  EXPECT_FALSE(g.transparency);
  EXPECT_NE(std::find(g.table.begin(), g.table.end(), Px{0, 0, 0}), g.table.end());
  EXPECT_NE(std::find(g.table.begin(), g.table.end(), Px{255, 255, 255}), g.table.end());
}

TEST_P(SheetTest, MaskBandIsPureBlackAndWhiteAndImageIsWhiteAroundTheFigure) {
  const SheetLayout s = GetParam();
  const Gif& g = load(s);
  ASSERT_EQ(g.h, 2 * s.cellH);
  int grey = 0, fringe = 0;
  for (int y = 0; y < s.cellH; ++y)
    for (int x = 0; x < g.w; ++x) {
      const Px m = g.at(x, y + s.cellH);
      if (!m.black() && !m.white()) ++grey;
      if (m.white() && !g.at(x, y).white()) ++fringe;
    }
  EXPECT_EQ(grey, 0) << "mask pixels neither black nor white";
  EXPECT_EQ(fringe, 0) << "image pixels outside the mask that are not white";
}

TEST_P(SheetTest, EveryCellHoldsAFigureClearOfTheCellBorder) {
  const SheetLayout s = GetParam();
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 64 * s.cells);
  for (int n = 0; n < s.cells; ++n) {
    int count = 0, onBorder = 0;
    for (int y = 0; y < s.cellH; ++y)
      for (int x = 0; x < 64; ++x)
        if (fig(g, s, n, x, y)) {
          ++count;
          if (x == 0 || y == 0 || x == 63 || y == s.cellH - 1) ++onBorder;
        }
    EXPECT_GT(count, 400) << s.file << " cell " << n << " is (nearly) empty";
    EXPECT_EQ(onBorder, 0) << s.file << " cell " << n << " touches its border";
  }
}

// Every figure pixel next to the background is dark: the figure has a
// closed outline and keeps it on light and dark desktops.
TEST_P(SheetTest, FiguresAreOutlinedInADarkColour) {
  const SheetLayout s = GetParam();
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 64 * s.cells);
  for (int n = 0; n < s.cells; ++n) {
    int light = 0;
    for (int y = 1; y < s.cellH - 1; ++y)
      for (int x = 1; x < 63; ++x) {
        if (!fig(g, s, n, x, y)) continue;
        const bool edge = !fig(g, s, n, x - 1, y) || !fig(g, s, n, x + 1, y) || !fig(g, s, n, x, y - 1) ||
                          !fig(g, s, n, x, y + 1);
        const Px p = g.at(n * 64 + x, y);
        if (edge && p.r + p.g + p.b > 3 * 80) ++light;
      }
    EXPECT_EQ(light, 0) << s.file << " cell " << n;
  }
}

// Standing, walking and squatting cells all rest on one ground row, so that
// switching cells never makes a character hop. rer squats (cells 4 to 7)
// in a window 18 pixels above ペッコ's, on ペッコ's ground.
TEST_P(SheetTest, AllCellsShareOneGroundLine) {
  const SheetLayout s = GetParam();
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 64 * s.cells);
  const int ground = lowestRow(g, s, 0);
  EXPECT_GE(ground, s.cellH - 4);
  const bool companion = s.cellH == 92;
  const int pekkoGround = lowestRow(load(kSheets[1]), kSheets[1], 2);  // squatting
  for (int n = 1; n < s.cells; ++n) {
    const bool squatting = companion && n >= 4 && n <= 7;
    EXPECT_EQ(lowestRow(g, s, n), squatting ? pekkoGround + 18 : ground) << s.file << " cell " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Sheets, SheetTest, ::testing::ValuesIn(kSheets),
                         [](const auto& info) { return std::string(info.param.file).substr(0, 5); });

TEST(WalkSheet, RightFacingCellsMirrorTheLeftFacingOnes) {
  const Gif& g = load(kSheets[0]);
  ASSERT_EQ(g.w, 768);
  for (int n = 6; n <= 8; ++n)
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(g.at(n * 64 + x, y), g.at((n + 3) * 64 + 63 - x, y))
            << "cell " << n + 3 << " at " << x << "," << y;
}

// Within one walk (standing, stride, other stride) the head may bob by a
// pixel but not jump.
TEST(WalkSheet, StrideFramesKeepTheHeadHeight) {
  const SheetLayout& s = kSheets[0];
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 768);
  for (int first : {0, 3, 6, 9}) {
    const int top = topRow(g, s, first);
    for (int n = first + 1; n < first + 3; ++n) EXPECT_LE(std::abs(topRow(g, s, n) - top), 1) << "cell " << n;
  }
}

// Squatting cells are lower than the standing ones.
TEST(ActionSheet, SquattingCellsAreLowerThanStandingOnes) {
  const SheetLayout& s = kSheets[1];
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 896);
  const int standing = topRow(g, s, 0);
  for (int n : {2, 3, 4, 5, 6, 8, 9, 10, 11}) EXPECT_GT(topRow(g, s, n), standing + 4) << "cell " << n;
}

// The skateboard spans the bottom of the riding cells and is gone when rer
// walks or sits.
TEST(CompanionSheet, BoardLiesAlongTheBottomOfTheRidingCells) {
  const SheetLayout& s = kSheets[2];
  const Gif& g = load(s);
  ASSERT_EQ(g.w, 704);
  auto widthNear = [&](int cell, int y) {
    int lo = 64, hi = -1;
    for (int x = 0; x < 64; ++x)
      if (fig(g, s, cell, x, y)) lo = std::min(lo, x), hi = std::max(hi, x);
    return hi < lo ? 0 : hi - lo + 1;
  };
  const int deckRow = s.cellH - 10;
  for (int n : {0, 8, 9, 10}) EXPECT_GE(widthNear(n, deckRow), 48) << "cell " << n;
  for (int n : {1, 2, 3, 4, 5, 6, 7}) EXPECT_LT(widthNear(n, deckRow), 30) << "cell " << n;
}

}  // namespace
