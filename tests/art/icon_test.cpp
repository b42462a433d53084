// The committed program icon: a classic .ico of a 16 x 16 4-bit and a
// 32 x 32 8-bit image, each a BMP header, colour table, XOR bitmap and AND
// mask, back to back; the face fills the middle and the corners are
// transparent, with nothing XORed onto the desktop there.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

TEST(Icon, TwoImagesBackToBackWithTransparentCorners) {
  std::ifstream f(std::string(ART_SOURCE_DIR) + "/resources/xpekko.ico", std::ios::binary);
  const std::vector<std::uint8_t> ico{std::istreambuf_iterator<char>(f), {}};
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
    unsigned opaque = 0, tinted = 0;
    for (std::size_t y = 0; y < size; ++y)  // rows bottom up
      for (std::size_t x = 0; x < size; ++x) {
        const unsigned v = ico.at(xorAt + y * xorStride + x * bpp / 8);
        const std::size_t colour = h + 40 + 4 * (bpp == 8 ? v : x % 2 ? v & 0x0F : v >> 4);
        const bool transparent = ico.at(andAt + y * 4 + x / 8) & (0x80 >> (x % 8));
        const bool corner = (x == 0 || x == size - 1) && (y == 0 || y == size - 1);
        opaque += !transparent;
        tinted += transparent && (ico.at(colour) | ico.at(colour + 1) | ico.at(colour + 2));
        EXPECT_TRUE(transparent || !corner) << size << ": " << x << "," << y;
      }
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_EQ(tinted, 0u);
  }
  EXPECT_EQ(next, ico.size());
}
