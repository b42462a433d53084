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
  // Replaces the contents with a bitmap of the surface's own size.
  void write(const Bitmap& bitmap);
  // Whether the w x h block at (x, y) here equals the one at (ox, oy) of
  // `other` (colour bits only; blocks reaching outside either never match).
  bool sameBlock(int x, int y, int w, int h, const DibSurface& other, int ox, int oy) const;

 private:
  HBITMAP makeBitmap(int width, int height, std::uint32_t fill, std::uint32_t** bits);

  Registry* registry_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace platform::win32
