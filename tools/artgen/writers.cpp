// File output: GIF through giflib, PNG through stb_image_write, and the .ico
// container (headers around plain BMP data) written here.
#include <gif_lib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "art.hpp"

namespace artgen {

void writeGif(const std::string& path, const IndexedImage& img) {
  int err = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &err);
  if (!gif) throw std::runtime_error("cannot create " + path + ": " + GifErrorString(err));
  std::vector<GifColorType> colours;
  for (Rgb c : img.palette) colours.push_back({c.r, c.g, c.b});
  ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
  EGifSetGifVersion(gif, true);  // GIF89a
  bool ok = map && EGifPutScreenDesc(gif, img.w, img.h, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, img.w, img.h, false, nullptr) == GIF_OK;
  std::vector<GifPixelType> row(std::size_t(img.w));
  for (int y = 0; ok && y < img.h; ++y) {
    std::memcpy(row.data(), &img.idx[std::size_t(y) * img.w], row.size());
    ok = EGifPutLine(gif, row.data(), img.w) == GIF_OK;
  }
  const bool closed = EGifCloseFile(gif, &err) == GIF_OK;
  GifFreeMapObject(map);
  if (!ok || !closed) throw std::runtime_error("cannot write " + path);
  // giflib creates its files readable by the owner only.
  namespace fs = std::filesystem;
  fs::permissions(
      path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

void writePng(const std::string& path, const RgbImage& img) {
  if (!stbi_write_png(path.c_str(), img.w, img.h, 3, img.rgb.data(), img.w * 3))
    throw std::runtime_error("cannot write " + path);
}

namespace {

struct Bytes {
  std::vector<std::uint8_t> b;
  void u8(unsigned v) { b.push_back(std::uint8_t(v)); }
  void u16(unsigned v) { u8(v & 0xFF), u8(v >> 8); }
  void u32(std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
};

// One icon image: BITMAPINFOHEADER (height doubled for XOR + AND), colour
// table, bottom-up XOR bitmap, bottom-up 1-bpp AND mask (1 = transparent).
std::vector<std::uint8_t> iconImage(const Canvas& c, int bpp) {
  const int colours = 1 << bpp;
  // Index 0 is black so that transparent pixels XOR to nothing.
  std::vector<Rgb> table{kRgb[Black]};
  std::array<int, ColCount> slot{};
  slot.fill(-1);
  for (std::uint8_t v : c.px) {
    if (v == Bg || slot[v] >= 0) continue;
    for (std::size_t i = 0; i < table.size() && slot[v] < 0; ++i)
      if (table[i] == kRgb[v]) slot[v] = int(i);
    if (slot[v] < 0) {
      table.push_back(kRgb[v]);
      slot[v] = int(table.size() - 1);
    }
  }
  if (int(table.size()) > colours) throw std::runtime_error("icon uses too many colours");
  table.resize(std::size_t(colours), Rgb{0, 0, 0});

  const int xorStride = ((c.w * bpp + 31) / 32) * 4;
  const int andStride = ((c.w + 31) / 32) * 4;
  Bytes o;
  o.u32(40);
  o.u32(std::uint32_t(c.w));
  o.u32(std::uint32_t(c.h * 2));
  o.u16(1);
  o.u16(unsigned(bpp));
  o.u32(0);  // BI_RGB
  o.u32(std::uint32_t((xorStride + andStride) * c.h));
  o.u32(0), o.u32(0);
  o.u32(0), o.u32(0);  // all colours of the table, all important
  for (Rgb rgb : table) o.u8(rgb.b), o.u8(rgb.g), o.u8(rgb.r), o.u8(0);
  for (int y = c.h - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(std::size_t(xorStride), 0);
    for (int x = 0; x < c.w; ++x) {
      const unsigned v = c.figure(x, y) ? unsigned(slot[c.at(x, y)]) : 0u;
      if (bpp == 8)
        row[std::size_t(x)] = std::uint8_t(v);
      else
        row[std::size_t(x / 2)] |= std::uint8_t(x % 2 ? v : v << 4);
    }
    o.b.insert(o.b.end(), row.begin(), row.end());
  }
  for (int y = c.h - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(std::size_t(andStride), 0);
    for (int x = 0; x < c.w; ++x)
      if (!c.figure(x, y)) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    o.b.insert(o.b.end(), row.begin(), row.end());
  }
  return o.b;
}

}  // namespace

std::vector<std::uint8_t> encodeIco(const Canvas& small4bpp, const Canvas& large8bpp) {
  const std::vector<std::uint8_t> a = iconImage(small4bpp, 4), b = iconImage(large8bpp, 8);
  Bytes o;
  o.u16(0), o.u16(1), o.u16(2);  // ICONDIR: reserved, type icon, two images
  std::uint32_t offset = 6 + 2 * 16;
  auto entry = [&](const Canvas& c, unsigned colourCount, unsigned bpp,
                   const std::vector<std::uint8_t>& data) {
    o.u8(unsigned(c.w)), o.u8(unsigned(c.h)), o.u8(colourCount), o.u8(0);
    o.u16(1), o.u16(bpp);
    o.u32(std::uint32_t(data.size()));
    o.u32(offset);
    offset += std::uint32_t(data.size());
  };
  entry(small4bpp, 16, 4, a);
  entry(large8bpp, 0, 8, b);
  o.b.insert(o.b.end(), a.begin(), a.end());
  o.b.insert(o.b.end(), b.begin(), b.end());
  return o.b;
}

}  // namespace artgen
