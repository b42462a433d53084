// The committed sprite sheets' pixels, read with giflib for the art tests.
#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace arttest {

// The three sheets: cells of 64 pixels across, images over a band of masks.
struct Sheet {
  const char* file;
  int cells, cellH;
  std::vector<std::uint32_t> px;  // 0xRRGGBB, row by row
  // Whether pixel (x, y) of a cell belongs to its figure: black in the mask.
  bool figure(int cell, int x, int y) const {
    return px.at(std::size_t(cellH + y) * cells * 64 + cell * 64 + x) == 0;
  }
};

inline const std::vector<Sheet>& sheets() {
  static const std::vector<Sheet> all = [] {
    std::vector<Sheet> s = {{"rPic1.gif", 12, 64, {}}, {"rPic2.gif", 14, 64, {}}, {"rPic3.gif", 11, 92, {}}};
    for (Sheet& sheet : s) {
      int err = 0;
      GifFileType* g =
          DGifOpenFileName((std::string(ART_SOURCE_DIR) + "/resources/" + sheet.file).c_str(), &err);
      if (!g || DGifSlurp(g) != GIF_OK || g->SWidth != 64 * sheet.cells || g->SHeight != 2 * sheet.cellH)
        continue;
      const SavedImage& im = g->SavedImages[0];
      const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
      for (int i = 0; i < g->SWidth * g->SHeight; ++i) {
        const GifColorType c = map->Colors[im.RasterBits[i]];
        sheet.px.push_back(c.Red << 16 | c.Green << 8 | c.Blue);
      }
      DGifCloseFile(g, &err);
    }
    return s;
  }();
  return all;
}

}  // namespace arttest
