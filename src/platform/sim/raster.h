// Raster-operation arithmetic of BitBlt on 0x00RRGGBB pixels.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform::sim {

// The result of the ternary raster operation `rop` for one pixel, with
// pattern P, source S and destination D. The operation's index (bits 16-23)
// is its truth table: bit (P·4 + S·2 + D) gives the result for those input
// bits. A device context's default brush is white, so P is all ones unless
// a brush is given.
inline std::uint32_t rop3(std::uint32_t rop, std::uint32_t s, std::uint32_t d, std::uint32_t p = 0xFFFFFF) {
  switch (rop) {  // the common ones directly; the table below gives the same
    case SRCCOPY: return s;
    case SRCERASE: return s & ~d & 0xFFFFFF;
    case SRCINVERT: return (s ^ d) & 0xFFFFFF;
    case SRCAND: return s & d;
    case SRCPAINT: return (s | d) & 0xFFFFFF;
    default: break;
  }
  const std::uint32_t table = (rop >> 16) & 0xFF;
  std::uint32_t out = 0;
  for (int bits = 0; bits < 8; ++bits) {
    if (!((table >> bits) & 1)) continue;
    const std::uint32_t pp = (bits & 4) ? p : ~p;
    const std::uint32_t ss = (bits & 2) ? s : ~s;
    const std::uint32_t dd = (bits & 1) ? d : ~d;
    out |= pp & ss & dd;
  }
  return out & 0xFFFFFF;
}

}  // namespace platform::sim
