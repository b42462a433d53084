// The committed pictures: what the generator draws; sheets; the icon.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(Regenerate, CommittedFilesMatchTheGeneratorByteForByte) {
  const fs::path out = fs::temp_directory_path() / ("artgen-regen-" + std::to_string(::getpid()));
  const std::string cmd = std::string("\"") + ARTGEN_EXE + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (const char* rel : {"resources/rPic1.gif", "resources/rPic2.gif", "resources/rPic3.gif",
                          "resources/xpekko.ico", "docs/contact-sheet.png"}) {
    const std::string fresh = bytes(out / rel);
    EXPECT_TRUE(!fresh.empty() && fresh == bytes(fs::path(ART_SOURCE_DIR) / rel))
        << rel << " differs: run the regen-art target";
  }
  fs::remove_all(out);
}

// Each figure clear of its border (the window's edge would cut it), on its
// sheet's one ground row (no hop on a change of cell). rer squats (cells 4-7)
// beside ペッコ in a window 18 pixels higher: 18 rows lower.
TEST(Sheets, EveryFigureClearOfItsBorderOnOneGroundRow) {
  const std::tuple<const char*, int, int> sheets[] = {
      {"rPic1.gif", 12, 64}, {"rPic2.gif", 14, 64}, {"rPic3.gif", 11, 92}};
  int pekkoGround = -1;
  for (const auto& [file, cells, cellH] : sheets) {
    int err = 0;
    GifFileType* g = DGifOpenFileName((std::string(ART_SOURCE_DIR) + "/resources/" + file).c_str(), &err);
    ASSERT_TRUE(g && DGifSlurp(g) == GIF_OK) << file;
    ASSERT_EQ(std::make_pair(g->SWidth, g->SHeight), std::make_pair(64 * cells, 2 * cellH)) << file;
    const SavedImage& im = g->SavedImages[0];
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
    int ground = -1;
    for (int n = 0; n < cells; ++n) {
      int figure = 0, onBorder = 0, lowest = -1;
      for (int y = 0; y < cellH; ++y)
        for (int x = 0; x < 64; ++x) {
          const GifColorType c = map->Colors[im.RasterBits[(cellH + y) * g->SWidth + n * 64 + x]];
          if (c.Red | c.Green | c.Blue) continue;  // white in the mask: not the figure
          ++figure, lowest = y, onBorder += x == 0 || y == 0 || x == 63 || y == cellH - 1;
        }
      if (ground < 0) ground = lowest;
      const bool squatting = cellH == 92 && n >= 4 && n <= 7;
      EXPECT_EQ(std::make_tuple(figure > 400, onBorder, lowest),
                std::make_tuple(true, 0, squatting ? pekkoGround + 18 : ground))
          << file << " cell " << n;
    }
    if (cellH == 64) pekkoGround = ground;
    DGifCloseFile(g, &err);
  }
}

// A 16 x 16 4-bit and a 32 x 32 8-bit image back to back, each header, colours,
// XOR and AND; the face fills the middle, corners transparent, nothing XORed.
TEST(Icon, TwoImagesBackToBackWithTransparentCorners) {
  const std::string file = bytes(fs::path(ART_SOURCE_DIR) / "resources/xpekko.ico");
  const std::vector<std::uint8_t> ico(file.begin(), file.end());
  const auto u16 = [&](std::size_t at) { return unsigned(ico.at(at) | ico.at(at + 1) << 8); };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  ASSERT_EQ(std::make_tuple(u16(0), u16(2), u16(4)), std::make_tuple(0u, 1u, 2u));  // an icon of two images
  std::size_t next = 6 + 2 * 16;
  for (const unsigned n : {0u, 1u}) {
    const std::size_t e = 6 + 16 * n, h = u32(e + 12), size = 16 << n, bpp = 4 << n;
    EXPECT_EQ(std::make_tuple(ico.at(e), ico.at(e + 1), u16(e + 6), h),
              std::make_tuple(size, size, bpp, next));
    EXPECT_EQ(std::make_tuple(u32(h), u32(h + 4), u32(h + 8), u16(h + 14)),
              std::make_tuple(40u, size, 2 * size, bpp));
    const std::size_t xorStride = (size * bpp + 31) / 32 * 4, xorAt = h + 40 + 4 * (1u << bpp);
    const std::size_t andAt = xorAt + xorStride * size;
    next = andAt + 4 * size;
    EXPECT_EQ(u32(e + 8), next - h);
    unsigned opaque = 0, tinted = 0, corners = 0;
    for (std::size_t y = 0; y < size; ++y)  // rows bottom up
      for (std::size_t x = 0; x < size; ++x) {
        const unsigned v = ico.at(xorAt + y * xorStride + x * bpp / 8);
        const std::size_t colour = h + 40 + 4 * (bpp == 8 ? v : x % 2 ? v & 0x0F : v >> 4);
        const bool transparent = ico.at(andAt + y * 4 + x / 8) & (0x80 >> (x % 8));
        opaque += !transparent;
        tinted += transparent && (ico.at(colour) | ico.at(colour + 1) | ico.at(colour + 2));
        corners += transparent && (x == 0 || x == size - 1) && (y == 0 || y == size - 1);
      }
    EXPECT_EQ(std::make_tuple(opaque > size * size / 2, tinted, corners), std::make_tuple(true, 0u, 4u))
        << size;
  }
  EXPECT_EQ(next, ico.size());
}

}  // namespace
