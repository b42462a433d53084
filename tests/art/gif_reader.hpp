// Reads a sheet GIF with giflib for the layout tests.
#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace arttest {

struct Px {
  std::uint8_t r, g, b;
  bool operator==(const Px&) const = default;
  bool white() const { return r == 255 && g == 255 && b == 255; }
  bool black() const { return r == 0 && g == 0 && b == 0; }
};

struct Gif {
  std::string signature;  // first six bytes
  int w = 0, h = 0;
  int frames = 0;
  std::vector<Px> table;  // global colour table
  bool localTable = false;
  bool transparency = false;  // any graphic control block with a transparent colour
  std::vector<Px> px;         // decoded frame 0
  Px at(int x, int y) const { return px[std::size_t(y) * w + x]; }
};

inline bool hasTransparency(int n, const ExtensionBlock* blocks) {
  for (int i = 0; i < n; ++i)
    if (blocks[i].Function == GRAPHICS_EXT_FUNC_CODE && blocks[i].ByteCount >= 1 && (blocks[i].Bytes[0] & 1))
      return true;
  return false;
}

inline Gif readGif(const std::string& path) {
  Gif out;
  {
    std::ifstream f(path, std::ios::binary);
    char sig[6] = {};
    f.read(sig, 6);
    out.signature.assign(sig, 6);
  }
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  if (!g) return out;
  if (DGifSlurp(g) != GIF_OK) {
    DGifCloseFile(g, &err);
    return out;
  }
  out.w = g->SWidth;
  out.h = g->SHeight;
  out.frames = g->ImageCount;
  if (g->SColorMap)
    for (int i = 0; i < g->SColorMap->ColorCount; ++i) {
      const GifColorType c = g->SColorMap->Colors[i];
      out.table.push_back({c.Red, c.Green, c.Blue});
    }
  out.transparency = hasTransparency(g->ExtensionBlockCount, g->ExtensionBlocks);
  if (g->ImageCount > 0) {
    const SavedImage& im = g->SavedImages[0];
    out.localTable = im.ImageDesc.ColorMap != nullptr;
    out.transparency = out.transparency || hasTransparency(im.ExtensionBlockCount, im.ExtensionBlocks);
    out.px.assign(std::size_t(out.w) * out.h, Px{255, 255, 255});
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
    for (int y = 0; y < im.ImageDesc.Height; ++y)
      for (int x = 0; x < im.ImageDesc.Width; ++x) {
        const GifColorType c = map->Colors[im.RasterBits[std::size_t(y) * im.ImageDesc.Width + x]];
        out.px[std::size_t(y + im.ImageDesc.Top) * out.w + x + im.ImageDesc.Left] = {c.Red, c.Green, c.Blue};
      }
  }
  DGifCloseFile(g, &err);
  return out;
}

}  // namespace arttest
