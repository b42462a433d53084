// Building the finished pictures from the rigs and pose tables, and writing
// them as files.
#pragma once

#include <string>
#include <vector>

#include "raster.hpp"

namespace artgen {

// One sprite sheet: cells of 64 × cellH, colour image band over mask band.
struct Sheet {
  std::string file;  // e.g. "rPic1.gif"
  int cellH = 64;
  int tableSize = 16;  // entries in the GIF's global colour table
  std::vector<Canvas> cells;
};

inline constexpr int kCellW = 64;

Sheet walkSheet();
Sheet actionSheet();
Sheet companionSheet();

// A cell of the sheet as an RGB image (3 bytes per pixel), image band over
// mask band.
struct RgbImage {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb;
  void put(int x, int y, Rgb c) {
    std::uint8_t* p = &rgb[(std::size_t(y) * w + x) * 3];
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
  }
  Rgb get(int x, int y) const {
    const std::uint8_t* p = &rgb[(std::size_t(y) * w + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

// The indexed sheet bitmap (image band over mask band) and its colour table.
struct IndexedImage {
  int w = 0, h = 0;
  std::vector<std::uint8_t> idx;
  std::vector<Rgb> palette;
};
IndexedImage layoutSheet(const Sheet& s);

// How the program puts a sheet cell on the desktop: bitwise, per channel,
// result = image XOR (mask AND NOT background).
Rgb composite(Rgb image, Rgb mask, Rgb background);

// Review picture: every cell of every sheet at 3× over three desktop colours.
RgbImage contactSheet(const std::vector<Sheet>& sheets);

// The icon's two images.
Canvas iconSmall();  // 16 × 16, at most 16 colours
Canvas iconLarge();  // 32 × 32

// Writers (throw std::runtime_error on failure).
void writeGif(const std::string& path, const IndexedImage& img);
void writePng(const std::string& path, const RgbImage& img);
// A .ico with one 4-bpp and one 8-bpp image; background pixels transparent.
std::vector<std::uint8_t> encodeIco(const Canvas& small4bpp, const Canvas& large8bpp);

}  // namespace artgen
