// The one way a frame reaches the screen: a cell of a sprite sheet, masked
// over a fresh copy of the screen behind the character's window.
#pragma once

#include <cstdint>

#include "platform/platform.h"

class Program;

struct FrameTarget {
  platform::Window& window;   // the character's window
  platform::Surface& work;    // its work surface, one cell in size
  platform::Surface& sheet;   // images over masks
  int cellHeight;             // 64, or 92 for the companion
};

inline constexpr int kCellWidth = 64;

void drawFrame(Program& app, const FrameTarget& target, const std::int16_t& index);
