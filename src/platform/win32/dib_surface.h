// An off-screen surface: a memory device context with a 32-bit DIB section
// selected into it, so that its pixels can be read straight from memory.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class DibSurface final : public Surface {
 public:
  // The surfaces that can be found by their device context: those made
  // with the registry, for as long as they live.
  class Registry {
   public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    DibSurface* find(HDC dc) const;

   private:
    friend class DibSurface;
    std::vector<DibSurface*> all_;
  };

  DibSurface(int width, int height, std::uint32_t fill = 0x00FFFFFF, Registry* registry = nullptr);
  // A read-only picture. One of at most 256 colours (every GIF) is kept
  // with a colour table, a byte a pixel rather than four; GDI converts it
  // exactly into whatever it is copied to.
  DibSurface(const Bitmap& picture, Registry* registry);
  ~DibSurface() override;
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  Handle hDC() const override { return toHandle(dc_); }
  int width() const override { return width_; }
  int height() const override { return height_; }
  Bitmap read() const override;

  HDC dc() const { return dc_; }
  // Makes the surface at least this large, keeping what it holds; the device
  // context stays the same, so handles given out remain valid.
  void growTo(int width, int height, std::uint32_t fill);
  // Makes the surface exactly this large (at least 1 x 1), keeping what
  // the two sizes share; the rest is `fill`. The device context stays.
  void resizeTo(int width, int height, std::uint32_t fill);
  // Replaces the contents with a bitmap of the surface's own size (not of
  // a picture with a colour table).
  void write(const Bitmap& bitmap);
  bool hasColourTable() const { return !palette_.empty(); }
  // Whether the w x h block at (x, y) here equals the one at (ox, oy) of
  // `other` (colour bits only; blocks reaching outside either never match).
  bool sameBlock(int x, int y, int w, int h, const DibSurface& other, int ox, int oy) const;
  // The same for the part of the block whose counterpart lies inside
  // `other`; false when no part does.
  bool sameOverlap(int x, int y, int w, int h, const DibSurface& other, int ox, int oy) const;

 private:
  HBITMAP makeBitmap(int width, int height, std::uint32_t fill, std::uint32_t** bits);

  Registry* registry_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  std::uint32_t* bits_ = nullptr;    // 32 bits a pixel
  std::uint8_t* indices_ = nullptr;  // or a byte a pixel, rows of `stride_` bytes
  int stride_ = 0;
  std::vector<std::uint32_t> palette_;  // 0x00RRGGBB
  int width_ = 0;
  int height_ = 0;
};

}  // namespace platform::win32
