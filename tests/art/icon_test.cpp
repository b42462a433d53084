// The committed program icon: a classic .ico with a 16 x 16 4-bit and a
// 32 x 32 8-bit image, each a BMP header, colour table, XOR bitmap and AND
// mask, back to back; the face fills the middle and the corners are
// transparent, with nothing XORed onto the desktop there.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(Icon, TwoImagesBackToBackWithTransparentCorners) {
  std::ifstream f(std::string(ART_SOURCE_DIR) + "/resources/xpekko.ico", std::ios::binary);
  const std::vector<std::uint8_t> ico{std::istreambuf_iterator<char>(f), {}};
  const auto u16 = [&](std::size_t at) { return unsigned(ico.at(at) | ico.at(at + 1) << 8); };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  ASSERT_EQ(std::make_tuple(u16(0), u16(2), u16(4)), std::make_tuple(0u, 1u, 2u));  // an icon of two images
  std::size_t next = 6 + 2 * 16;
  for (const unsigned n : {0u, 1u}) {
    const std::size_t e = 6 + 16 * n, h = u32(e + 12);
    const unsigned size = 16 << n, bpp = 4 << n;
    SCOPED_TRACE(size);
    EXPECT_EQ(
        std::make_tuple(unsigned(ico.at(e)), unsigned(ico.at(e + 1)), unsigned(ico.at(e + 2)), u16(e + 6)),
        std::make_tuple(size, size, n ? 0u : 16u, bpp));
    EXPECT_EQ(h, next);
    EXPECT_EQ(std::make_tuple(u32(h), u32(h + 4), u32(h + 8), u16(h + 14), u32(h + 16)),
              std::make_tuple(40u, size, 2 * size, bpp, 0u));  // XOR and AND bitmaps, uncompressed
    const std::size_t xorStride = (size * bpp + 31) / 32 * 4, andStride = 4;
    const std::size_t xorAt = h + 40 + 4 * (1u << bpp), andAt = xorAt + xorStride * size;
    EXPECT_EQ(u32(e + 8), andAt + andStride * size - h);
    next = andAt + andStride * size;
    // Pixel (x, y) from the top: transparent in the mask, and its colour.
    const auto pixel = [&](unsigned x, unsigned y) {
      const std::size_t row = size - 1 - y;
      const unsigned v = ico.at(xorAt + row * xorStride + x * bpp / 8);
      const unsigned index = bpp == 8 ? v : (x % 2 ? v & 0x0F : v >> 4);
      const std::size_t pal = h + 40 + 4 * index;
      return std::make_pair(bool(ico.at(andAt + row * andStride + x / 8) & (0x80 >> (x % 8))),
                            ico.at(pal) | ico.at(pal + 1) | ico.at(pal + 2));
    };
    unsigned opaque = 0, tinted = 0;
    for (unsigned y = 0; y < size; ++y)
      for (unsigned x = 0; x < size; ++x) {
        const auto [transparent, colour] = pixel(x, y);
        opaque += !transparent;
        tinted += transparent && colour != 0;
      }
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_EQ(tinted, 0u);
    EXPECT_TRUE(pixel(0, size - 1).first && pixel(size - 1, size - 1).first &&
                !pixel(size / 2, size / 2).first);
  }
  EXPECT_EQ(next, ico.size());
}

}  // namespace
