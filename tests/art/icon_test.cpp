// The program icon: a classic .ico with a 16 × 16 4-bpp and a 32 × 32 8-bpp
// image, each a BMP header, colour table, XOR bitmap and AND mask.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "art.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned u16(const Bytes& b, std::size_t at) { return b.at(at) | unsigned(b.at(at + 1)) << 8; }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | std::uint32_t(u16(b, at + 2)) << 16; }

Bytes readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

struct Entry {
  unsigned w, h, colours, planes, bpp;
  std::uint32_t size, offset;
};

Entry entry(const Bytes& ico, int i) {
  const std::size_t e = 6 + 16 * std::size_t(i);
  return {ico.at(e),       ico.at(e + 1),   ico.at(e + 2),   u16(ico, e + 4),
          u16(ico, e + 6), u32(ico, e + 8), u32(ico, e + 12)};
}

// Pixel (x, y) of an icon image, top-down coordinates: palette index and
// whether the AND mask makes it transparent.
struct IconPixel {
  unsigned index;
  bool transparent;
};
IconPixel pixel(const Bytes& ico, const Entry& e, unsigned x, unsigned y) {
  const std::size_t bmp = e.offset;
  const unsigned paletteSize = 1u << e.bpp;
  const unsigned xorStride = ((e.w * e.bpp + 31) / 32) * 4, andStride = ((e.w + 31) / 32) * 4;
  const std::size_t xorAt = bmp + 40 + 4 * paletteSize, andAt = xorAt + std::size_t(xorStride) * e.h;
  const unsigned row = e.h - 1 - y;  // bottom-up
  const std::uint8_t v = ico.at(xorAt + std::size_t(row) * xorStride + x * e.bpp / 8);
  const unsigned index = e.bpp == 8 ? v : (x % 2 ? v & 0x0F : v >> 4);
  const bool transparent = ico.at(andAt + std::size_t(row) * andStride + x / 8) & (0x80 >> (x % 8));
  return {index, transparent};
}

class CommittedIcon : public ::testing::Test {
 protected:
  Bytes ico = readFile(std::string(ART_SOURCE_DIR) + "/resources/xpekko.ico");
};

TEST_F(CommittedIcon, HoldsA16ColourSmallAndA256ColourLargeBitmapBackToBack) {
  ASSERT_GE(ico.size(), 6u + 32u);
  EXPECT_EQ(u16(ico, 0), 0u);
  EXPECT_EQ(u16(ico, 2), 1u);  // icon, not cursor
  ASSERT_EQ(u16(ico, 4), 2u);
  const struct {
    unsigned size, bpp, colours;  // 0 colours: 256 or more
  } expected[] = {{16, 4, 16}, {32, 8, 0}};
  std::uint32_t expectedOffset = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const Entry e = entry(ico, i);
    EXPECT_EQ(e.w, expected[i].size);
    EXPECT_EQ(e.h, expected[i].size);
    EXPECT_EQ(e.bpp, expected[i].bpp);
    EXPECT_EQ(e.colours, expected[i].colours);
    EXPECT_EQ(e.planes, 1u);
    EXPECT_EQ(e.offset, expectedOffset);
    ASSERT_LE(std::size_t(e.offset) + e.size, ico.size());
    const std::size_t h = e.offset;
    EXPECT_EQ(u32(ico, h), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(u32(ico, h + 4), e.w);
    EXPECT_EQ(u32(ico, h + 8), 2 * e.h);  // XOR and AND bitmaps
    EXPECT_EQ(u16(ico, h + 12), 1u);
    EXPECT_EQ(u16(ico, h + 14), e.bpp);
    EXPECT_EQ(u32(ico, h + 16), 0u);  // uncompressed
    const std::uint32_t xorBytes = ((e.w * e.bpp + 31) / 32) * 4 * e.h,
                        andBytes = ((e.w + 31) / 32) * 4 * e.h;
    EXPECT_EQ(e.size, 40 + 4 * (1u << e.bpp) + xorBytes + andBytes);
    expectedOffset += e.size;
  }
  EXPECT_EQ(expectedOffset, ico.size());
}

TEST_F(CommittedIcon, FaceFillsTheMiddleAndCornersAreTransparent) {
  ASSERT_EQ(ico.size(), std::size_t(entry(ico, 1).offset) + entry(ico, 1).size);
  for (int i = 0; i < 2; ++i) {
    const Entry e = entry(ico, i);
    EXPECT_TRUE(pixel(ico, e, 0, e.h - 1).transparent);
    EXPECT_TRUE(pixel(ico, e, e.w - 1, e.h - 1).transparent);
    EXPECT_FALSE(pixel(ico, e, e.w / 2, e.h / 2).transparent);
    unsigned opaque = 0, transparentButColoured = 0;
    for (unsigned y = 0; y < e.h; ++y)
      for (unsigned x = 0; x < e.w; ++x) {
        const IconPixel p = pixel(ico, e, x, y);
        opaque += !p.transparent;
        // Transparent pixels must XOR nothing onto the desktop.
        const std::size_t pal = e.offset + 40 + 4 * p.index;
        if (p.transparent && (ico[pal] | ico[pal + 1] | ico[pal + 2])) ++transparentButColoured;
      }
    EXPECT_GT(opaque, e.w * e.h / 2) << "image " << i;
    EXPECT_EQ(transparentButColoured, 0u) << "image " << i;
  }
}

// Encoder details the committed icon cannot show on its own: bottom-up rows,
// high nibble first, mask bit set for background.
TEST(IcoEncoder, StoresRowsBottomUpAndPixelsInOrder) {
  artgen::Canvas small(16, 16), large(32, 32);
  small.set(1, 0, artgen::Line);   // top row, second pixel: low nibble
  small.set(0, 15, artgen::Skin);  // bottom row, first pixel: high nibble
  large.set(31, 0, artgen::Hair);
  const Bytes ico = artgen::encodeIco(small, large);
  const Entry s = entry(ico, 0), l = entry(ico, 1);

  const IconPixel top = pixel(ico, s, 1, 0), bottom = pixel(ico, s, 0, 15), empty = pixel(ico, s, 0, 0);
  EXPECT_FALSE(top.transparent);
  EXPECT_FALSE(bottom.transparent);
  EXPECT_TRUE(empty.transparent);
  EXPECT_EQ(empty.index, 0u);
  EXPECT_NE(top.index, bottom.index);
  auto colourOf = [&](const Entry& e, unsigned index) {
    const std::size_t at = e.offset + 40 + 4 * index;
    return artgen::Rgb{ico[at + 2], ico[at + 1], ico[at]};  // stored B, G, R
  };
  EXPECT_EQ(colourOf(s, top.index), artgen::kRgb[artgen::Line]);
  EXPECT_EQ(colourOf(s, bottom.index), artgen::kRgb[artgen::Skin]);
  const IconPixel corner = pixel(ico, l, 31, 0);
  EXPECT_FALSE(corner.transparent);
  EXPECT_EQ(colourOf(l, corner.index), artgen::kRgb[artgen::Hair]);
  EXPECT_TRUE(pixel(ico, l, 30, 0).transparent);
}

TEST(IcoEncoder, RefusesMoreColoursThanTheDepthHolds) {
  artgen::Canvas small(16, 16), large(32, 32);
  for (int c = artgen::White; c < artgen::ColCount; ++c) small.set(c % 16, c / 16, std::uint8_t(c));
  EXPECT_THROW(artgen::encodeIco(small, large), std::runtime_error);
}

}  // namespace
