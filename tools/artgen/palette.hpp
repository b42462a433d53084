// Master palette of every colour the artwork may use.
//
// Canvases store these indices; each sheet's GIF colour table is built from
// the colours a sheet actually uses, in this order.  Index 0 is the empty
// background: it becomes white in the image band and white in the mask band.
// Every other index is "figure" and becomes black in the mask band, including
// White, which is an opaque white inside the figure (eye highlights, teeth).
#pragma once

#include <array>
#include <cstdint>

namespace artgen {

struct Rgb {
  std::uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

enum Col : std::uint8_t {
  Bg = 0,  // empty background (not part of the figure)
  Black,   // only used by the mask band
  White,   // opaque white inside a figure
  Line,    // the outline around every figure and its parts
  // ペッコ
  Skin,
  SkinShade,
  Cheek,
  Blush,
  Hair,
  HairLight,
  HairDark,
  Shirt,
  ShirtShade,
  Shorts,
  ShortsShade,
  Shoe,
  MouthIn,
  // effects
  Sweat,
  Sparkle,
  // rer
  RSkin,
  RSkinShade,
  RHair,
  RHairLight,
  RHairShade,
  Hoodie,
  HoodieShade,
  Pants,
  PantsShade,
  Sneaker,
  // skateboard
  Deck,
  DeckShade,
  Wheel,
  Truck,
  ColCount
};

inline constexpr std::array<Rgb, ColCount> kRgb = {{
    {255, 255, 255},  // Bg
    {0, 0, 0},        // Black
    {255, 255, 255},  // White
    {44, 26, 38},     // Line
    {255, 222, 196},  // Skin
    {238, 178, 152},  // SkinShade
    {255, 166, 170},  // Cheek
    {236, 84, 112},   // Blush
    {170, 98, 48},    // Hair
    {214, 146, 78},   // HairLight
    {112, 60, 34},    // HairDark
    {238, 196, 52},   // Shirt (sunny yellow)
    {200, 142, 30},   // ShirtShade
    {70, 120, 214},   // Shorts
    {44, 74, 152},    // ShortsShade
    {176, 60, 54},    // Shoe
    {204, 52, 72},    // MouthIn
    {120, 200, 255},  // Sweat
    {255, 238, 90},   // Sparkle
    {240, 196, 150},  // RSkin
    {206, 150, 112},  // RSkinShade
    {52, 62, 120},    // RHair
    {92, 110, 178},   // RHairLight
    {32, 36, 82},     // RHairShade
    {58, 170, 124},   // Hoodie
    {30, 116, 86},    // HoodieShade
    {96, 96, 112},    // Pants
    {64, 62, 80},     // PantsShade
    {226, 70, 60},    // Sneaker
    {232, 132, 52},   // Deck
    {172, 84, 36},    // DeckShade
    {250, 232, 150},  // Wheel
    {150, 156, 168},  // Truck
}};

}  // namespace artgen
