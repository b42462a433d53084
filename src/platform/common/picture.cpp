// stb_image is compiled here once, with only the GIF decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_THREAD_LOCALS
#include <stb_image.h>

#include "platform/common/picture.h"

namespace platform {

Bitmap decodePicture(const std::uint8_t* data, std::size_t size) {
  int w = 0, h = 0, channels = 0;
  unsigned char* rgb = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 3);
  if (!rgb) return {};
  Bitmap bmp(w, h);
  for (std::size_t i = 0; i < bmp.pixels.size(); ++i)
    bmp.pixels[i] = (std::uint32_t{rgb[3 * i]} << 16) | (std::uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
  stbi_image_free(rgb);
  return bmp;
}

Bitmap scaledBy(const Bitmap& bmp, int s) {
  if (s <= 1) return bmp;
  Bitmap out(bmp.width * s, bmp.height * s);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.at(x, y) = bmp.at(x / s, y / s);
  return out;
}

}  // namespace platform
