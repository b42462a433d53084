// Memory device context + 32-bpp top-down DIB section.
#include "platform/win32/dib_surface.h"

#include <algorithm>
#include <vector>

namespace platform::win32 {

DibSurface* DibSurface::Registry::find(HDC dc) const {
  for (DibSurface* s : all_)
    if (s->dc_ == dc) return s;
  return nullptr;
}

bool DibSurface::sameBlock(int x, int y, int w, int h, const DibSurface& other, int ox, int oy) const {
  if (!bits_ || !other.bits_ || w <= 0 || h <= 0) return false;
  if (x < 0 || y < 0 || x + w > width_ || y + h > height_) return false;
  if (ox < 0 || oy < 0 || ox + w > other.width_ || oy + h > other.height_) return false;
  GdiFlush();
  for (int row = 0; row < h; ++row) {
    const std::uint32_t* a = bits_ + static_cast<std::size_t>(y + row) * width_ + x;
    const std::uint32_t* b = other.bits_ + static_cast<std::size_t>(oy + row) * other.width_ + ox;
    for (int col = 0; col < w; ++col)
      if ((a[col] ^ b[col]) & 0x00FFFFFF) return false;
  }
  return true;
}

DibSurface::DibSurface(int width, int height, std::uint32_t fill, Registry* registry) : registry_(registry) {
  dc_ = CreateCompatibleDC(nullptr);
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  bitmap_ = makeBitmap(width_, height_, fill, &bits_);
  if (dc_ && bitmap_) original_ = SelectObject(dc_, bitmap_);
  if (registry_) registry_->all_.push_back(this);
}

DibSurface::~DibSurface() {
  if (registry_) {
    auto& all = registry_->all_;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
  }
  if (dc_ && original_) SelectObject(dc_, original_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

HBITMAP DibSurface::makeBitmap(int width, int height, std::uint32_t fill, std::uint32_t** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down: row 0 first, as Bitmap holds it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<std::uint32_t*>(p);
  if (bmp && p) std::fill_n(*bits, static_cast<std::size_t>(width) * height, fill);
  return bmp;
}

Bitmap DibSurface::read() const {
  Bitmap out(width_, height_);
  if (!bits_) return out;
  GdiFlush();  // GDI may batch drawing calls; the memory is current only after this
  // 32-bpp BI_RGB is 0x00RRGGBB in memory order BB GG RR xx; the spare byte
  // is whatever the last raster operation left there.
  for (std::size_t i = 0; i < out.pixels.size(); ++i) out.pixels[i] = bits_[i] & 0x00FFFFFF;
  return out;
}

void DibSurface::write(const Bitmap& bitmap) {
  if (!bits_ || bitmap.width != width_ || bitmap.height != height_) return;
  GdiFlush();
  std::copy(bitmap.pixels.begin(), bitmap.pixels.end(), bits_);
}

void DibSurface::growTo(int width, int height, std::uint32_t fill) {
  if (width <= width_ && height <= height_) return;
  const int w = std::max(width, width_);
  const int h = std::max(height, height_);
  std::uint32_t* bits = nullptr;
  HBITMAP bmp = makeBitmap(w, h, fill, &bits);
  if (!bmp || !bits) {
    if (bmp) DeleteObject(bmp);
    return;  // keep the smaller image rather than none
  }
  GdiFlush();
  for (int y = 0; y < height_; ++y)
    std::copy_n(bits_ + static_cast<std::size_t>(y) * width_, width_, bits + static_cast<std::size_t>(y) * w);
  SelectObject(dc_, bmp);
  DeleteObject(bitmap_);
  bitmap_ = bmp;
  bits_ = bits;
  width_ = w;
  height_ = h;
}

}  // namespace platform::win32
