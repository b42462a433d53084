// Reads a committed sprite sheet with giflib, for the art tests.
#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace arttest {

struct Gif {
  std::string signature;  // the first six bytes
  int w = 0, h = 0, frames = 0, tableSize = 0;
  bool localTable = false, transparency = false;
  std::vector<std::uint32_t> px;  // frame 0 as 0xRRGGBB
  std::uint32_t at(int x, int y) const { return px[std::size_t(y) * w + x]; }
};

// The sheet resources/<file>, read once.
inline const Gif& sheet(const std::string& file) {
  static std::map<std::string, Gif> cache;
  if (auto it = cache.find(file); it != cache.end()) return it->second;
  const std::string path = std::string(ART_SOURCE_DIR) + "/resources/" + file;
  Gif& out = cache[file];
  std::ifstream(path, std::ios::binary).read(out.signature.assign(6, '\0').data(), 6);
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  if (!g || DGifSlurp(g) != GIF_OK || g->ImageCount < 1 || !g->SColorMap) return out;
  const SavedImage& im = g->SavedImages[0];
  out.w = g->SWidth, out.h = g->SHeight, out.frames = g->ImageCount, out.tableSize = g->SColorMap->ColorCount;
  out.localTable = im.ImageDesc.ColorMap != nullptr;
  for (int i = 0; i < im.ExtensionBlockCount; ++i)
    out.transparency |=
        im.ExtensionBlocks[i].Function == GRAPHICS_EXT_FUNC_CODE && (im.ExtensionBlocks[i].Bytes[0] & 1);
  const ColorMapObject* map = out.localTable ? im.ImageDesc.ColorMap : g->SColorMap;
  out.px.assign(std::size_t(out.w) * out.h, 0xFFFFFF);
  for (int y = 0; y < im.ImageDesc.Height; ++y)
    for (int x = 0; x < im.ImageDesc.Width; ++x) {
      const GifColorType c = map->Colors[im.RasterBits[std::size_t(y) * im.ImageDesc.Width + x]];
      out.px[std::size_t(y + im.ImageDesc.Top) * out.w + x + im.ImageDesc.Left] =
          c.Red << 16 | c.Green << 8 | c.Blue;
    }
  DGifCloseFile(g, &err);
  return out;
}

// The three sheets: cells of 64 pixels across, images over a band of masks.
struct SheetLayout {
  const char* file;
  int cells, cellH, tableSize;
};
inline constexpr SheetLayout kSheets[] = {
    {"rPic1.gif", 12, 64, 16}, {"rPic2.gif", 14, 64, 32}, {"rPic3.gif", 11, 92, 64}};

}  // namespace arttest
