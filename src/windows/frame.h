// The one way a frame reaches the screen: a cell of a sprite sheet, masked
// over a fresh copy of the screen behind the character's window.
#pragma once

#include <cstdint>

#include "module/Module1.h"
#include "platform/platform.h"

// Every cell is 64 pixels wide; a sheet holds its images over their masks,
// each band one cell high.
inline constexpr int kCellWidth = 64;

struct SheetDesign {
  platform::Picture picture;
  int cellHeight;  // pixels; the mask band starts at this row
};
inline constexpr SheetDesign kWalkingSheet{platform::Picture::rPic1, 64};
inline constexpr SheetDesign kActionSheet{platform::Picture::rPic2, 64};
inline constexpr SheetDesign kCompanionSheet{platform::Picture::rPic3, 92};

struct FrameTarget {
  platform::Window& window;  // the character's window
  platform::Surface& work;   // its work surface, one cell in size
  platform::Surface& sheet;  // images over masks
  int cellHeight;
};

void drawFrame(platform::Platform& os, Module1& m, const FrameTarget& target, const std::int16_t& index);
