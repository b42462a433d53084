// Every cell of the committed sprite sheets (images over a band of masks,
// read with giflib) holds a figure clear of its border, which the window's
// edge would cut off, standing on its sheet's one ground row, so that a
// change of cell never makes a character hop. rer squats (cells 4 to 7)
// beside ペッコ in a window 18 pixels higher: on ペッコ's ground, 18 rows lower.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <string>

TEST(Sheets, EveryFigureClearOfItsBorderOnOneGroundRow) {
  const struct {
    const char* file;
    int cells, cellH;
  } sheets[] = {{"rPic1.gif", 12, 64}, {"rPic2.gif", 14, 64}, {"rPic3.gif", 11, 92}};
  int pekkoGround = -1;
  for (const auto& s : sheets) {
    int err = 0;
    GifFileType* g = DGifOpenFileName((std::string(ART_SOURCE_DIR) + "/resources/" + s.file).c_str(), &err);
    ASSERT_TRUE(g && DGifSlurp(g) == GIF_OK) << s.file;
    ASSERT_EQ(std::make_pair(g->SWidth, g->SHeight), std::make_pair(64 * s.cells, 2 * s.cellH)) << s.file;
    const SavedImage& im = g->SavedImages[0];
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
    int ground = -1;
    for (int n = 0; n < s.cells; ++n) {
      int figure = 0, onBorder = 0, lowest = -1;
      for (int y = 0; y < s.cellH; ++y)
        for (int x = 0; x < 64; ++x) {
          const GifColorType c = map->Colors[im.RasterBits[(s.cellH + y) * g->SWidth + n * 64 + x]];
          if (c.Red | c.Green | c.Blue) continue;  // white in the mask: not the figure
          ++figure, lowest = y, onBorder += x == 0 || y == 0 || x == 63 || y == s.cellH - 1;
        }
      if (ground < 0) ground = lowest;
      const bool squatting = s.cellH == 92 && n >= 4 && n <= 7;
      EXPECT_GT(figure, 400) << s.file << " cell " << n;
      EXPECT_EQ(onBorder, 0) << s.file << " cell " << n;
      EXPECT_EQ(lowest, squatting ? pekkoGround + 18 : ground) << s.file << " cell " << n;
    }
    if (s.cellH == 64) pekkoGround = ground;
    DGifCloseFile(g, &err);
  }
}
