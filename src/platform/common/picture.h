// Decoding of the built-in pictures (GIF) into bitmaps, with stb_image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace platform {

// An empty bitmap when the data is not a picture stb_image can read.
Bitmap decodePicture(const std::uint8_t* data, std::size_t size);

// Each pixel as a block of s x s pixels of its colour (nearest neighbour:
// no colour is added, an edge stays sharp).
Bitmap scaledBy(const Bitmap& bmp, int s);

}  // namespace platform
