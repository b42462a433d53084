// The drawing primitives and the sheet layout the artwork relies on.
#include <gtest/gtest.h>

#include "art.hpp"
#include "pen.hpp"
#include "raster.hpp"

namespace {

using namespace artgen;

int count(const Canvas& c, std::uint8_t col) {
  int n = 0;
  for (std::uint8_t v : c.px) n += v == col;
  return n;
}

TEST(Raster, OutlinedShapeGetsAOnePixelRingThatTouchesItOnFourSides) {
  Canvas c(10, 10);
  fillOutlined(c, box(3, 3, 6, 6), Skin);  // a 3 × 3 square
  EXPECT_EQ(count(c, Skin), 9);
  EXPECT_EQ(count(c, Line), 12);  // 4 sides × 3, no corners
  EXPECT_EQ(c.at(2, 2), Bg);
  EXPECT_EQ(c.at(2, 4), Line);
  EXPECT_EQ(c.at(1, 4), Bg);
}

TEST(Raster, ClosingOutlineSkipsPartsThatAlreadyHaveOne) {
  Canvas c(12, 8);
  fillOutlined(c, box(2, 2, 4, 4), Skin);
  c.set(9, 4, Sparkle);  // a mark drawn without outline
  outlineFigure(c);
  EXPECT_EQ(c.at(0, 3), Bg);    // no second ring around the outlined square
  EXPECT_EQ(c.at(8, 4), Line);  // the lone mark got its ring
  EXPECT_EQ(c.at(10, 4), Line);
  EXPECT_EQ(c.at(9, 3), Line);
  EXPECT_EQ(c.at(9, 5), Line);
  EXPECT_EQ(c.at(8, 3), Bg);
}

TEST(Raster, ShadedPartIsOutlinedAndShadedOnlyInItsBaseColourOppositeTheOffset) {
  Canvas c(12, 12);
  const Shape s = box(2, 2, 8, 8);
  fillShaded(c, s, Shirt, ShirtShade, -2, 0);
  EXPECT_EQ(c.at(1, 4), Line);
  EXPECT_EQ(c.at(8, 4), Line);
  EXPECT_EQ(c.at(5, 4), Shirt);
  EXPECT_EQ(c.at(6, 4), ShirtShade);
  EXPECT_EQ(count(c, ShirtShade), 12);  // the two right-hand columns
  c.set(7, 7, White);
  c.set(6, 5, Shirt);
  shade(c, s, -2, 0, Shirt, ShirtShade);
  EXPECT_EQ(c.at(7, 7), White);  // not the base colour: left alone
  EXPECT_EQ(c.at(6, 5), ShirtShade);
}

TEST(Raster, PenStampTurnsWithThePenAndFlipTurnsItOnceMore) {
  auto row = [](const Pen& pen, bool flip) {
    Canvas c(8, 1);
    pen.stamp(c, 0, 0, {"ab"}, {{'a', Skin}, {'b', Hair}}, flip);
    return c.px;
  };
  const std::uint8_t _ = Bg, a = Skin, b = Hair;
  EXPECT_EQ(row({4, 0, 1}, false), (std::vector<std::uint8_t>{_, _, _, _, a, b, _, _}));
  EXPECT_EQ(row({4, 0, -1}, false), (std::vector<std::uint8_t>{_, _, b, a, _, _, _, _}));
  EXPECT_EQ(row({4, 0, -1}, true), (std::vector<std::uint8_t>{_, _, a, b, _, _, _, _}));
  EXPECT_EQ(row({4, 0, 1}, true), (std::vector<std::uint8_t>{_, _, _, _, b, a, _, _}));
}

TEST(Raster, MirrorFlipsColumnsAndStampMirrorsItsPattern) {
  Canvas c(5, 2);
  stamp(c, 0, 0, {"ab..."}, {{'a', Skin}, {'b', Hair}});
  const Canvas m = mirrored(c);
  EXPECT_EQ(m.at(4, 0), Skin);
  EXPECT_EQ(m.at(3, 0), Hair);
  Canvas d(5, 2);
  stamp(d, 0, 0, {"ab..."}, {{'a', Skin}, {'b', Hair}}, true);
  EXPECT_EQ(d.px, m.px);
}

TEST(Composite, MaskWhiteShowsTheDesktopAndMaskBlackShowsTheImage) {
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  for (Rgb desk : {Rgb{0, 0, 0}, Rgb{128, 128, 128}, Rgb{0, 64, 96}, Rgb{255, 255, 255}}) {
    EXPECT_EQ(composite(white, white, desk), desk);
    EXPECT_EQ(composite(kRgb[Skin], black, desk), kRgb[Skin]);
    EXPECT_EQ(composite(white, black, desk), white);  // white inside the figure stays white
  }
}

TEST(Layout, MaskBandIsBlackExactlyUnderTheFigure) {
  Sheet s{"t.gif", 4, 16, {Canvas(64, 4), Canvas(64, 4)}};
  s.cells[1].set(5, 2, White);  // opaque white is still figure
  s.cells[1].set(6, 2, Skin);
  const IndexedImage img = layoutSheet(s);
  ASSERT_EQ(img.w, 128);
  ASSERT_EQ(img.h, 8);
  ASSERT_EQ(img.palette.size(), 16u);
  auto rgb = [&](int x, int y) { return img.palette[img.idx[std::size_t(y) * img.w + x]]; };
  EXPECT_EQ(rgb(64 + 5, 2), kRgb[White]);
  EXPECT_EQ(rgb(64 + 6, 2), kRgb[Skin]);
  EXPECT_EQ(rgb(64 + 5, 6), kRgb[Black]);
  EXPECT_EQ(rgb(64 + 6, 6), kRgb[Black]);
  EXPECT_EQ(rgb(64 + 7, 6), kRgb[Bg]);
  EXPECT_EQ(rgb(5, 6), kRgb[Bg]);
}

TEST(Layout, RefusesMoreColoursThanTheTableHolds) {
  Sheet s{"t.gif", 4, 4, {Canvas(64, 4)}};
  for (int c = White; c < 8; ++c) s.cells[0].set(c, 0, std::uint8_t(c));
  EXPECT_THROW(layoutSheet(s), std::runtime_error);
}

}  // namespace
