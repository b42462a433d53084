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

bool DibSurface::sameOverlap(int x, int y, int w, int h, const DibSurface& other, int ox, int oy) const {
  // Clip the block to where `other` has pixels.
  const int left = std::max(0, -ox), top = std::max(0, -oy);
  const int right = std::min(w, other.width_ - ox), bottom = std::min(h, other.height_ - oy);
  if (left >= right || top >= bottom) return false;
  return sameBlock(x + left, y + top, right - left, bottom - top, other, ox + left, oy + top);
}

DibSurface::DibSurface(int width, int height, std::uint32_t fill, Registry* registry) : registry_(registry) {
  dc_ = CreateCompatibleDC(nullptr);
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  bitmap_ = makeBitmap(width_, height_, fill, &bits_);
  if (dc_ && bitmap_) original_ = SelectObject(dc_, bitmap_);
  if (registry_) registry_->all_.push_back(this);
}

DibSurface::DibSurface(const Bitmap& picture, Registry* registry) : registry_(registry) {
  dc_ = CreateCompatibleDC(nullptr);
  width_ = std::max(picture.width, 1);
  height_ = std::max(picture.height, 1);
  std::vector<std::uint32_t> colours;
  bool fits = picture.width > 0 && picture.height > 0;
  for (std::size_t i = 0; fits && i < picture.pixels.size(); ++i) {
    const std::uint32_t c = picture.pixels[i] & 0x00FFFFFF;
    if (std::find(colours.begin(), colours.end(), c) == colours.end()) {
      colours.push_back(c);
      fits = colours.size() <= 256;
    }
  }
  if (fits) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD table[256];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = width_;
    bi.h.biHeight = -height_;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    bi.h.biCompression = BI_RGB;
    bi.h.biClrUsed = static_cast<DWORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i)
      bi.table[i] = RGBQUAD{static_cast<BYTE>(colours[i]), static_cast<BYTE>(colours[i] >> 8),
                            static_cast<BYTE>(colours[i] >> 16), 0};
    void* p = nullptr;
    bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0);
    if (bitmap_ && p) {
      indices_ = static_cast<std::uint8_t*>(p);
      stride_ = (width_ + 3) & ~3;
      palette_ = colours;
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
          const std::uint32_t c = picture.at(x, y) & 0x00FFFFFF;
          indices_[static_cast<std::size_t>(y) * stride_ + x] =
              static_cast<std::uint8_t>(std::find(colours.begin(), colours.end(), c) - colours.begin());
        }
    } else if (bitmap_) {
      DeleteObject(bitmap_);
      bitmap_ = nullptr;
    }
  }
  if (!bitmap_) {
    bitmap_ = makeBitmap(width_, height_, 0x00FFFFFF, &bits_);
    write(picture);
  }
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
  if (indices_) {
    GdiFlush();
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const std::uint8_t i = indices_[static_cast<std::size_t>(y) * stride_ + x];
        out.at(x, y) = i < palette_.size() ? palette_[i] : 0;
      }
    return out;
  }
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
  resizeTo(std::max(width, width_), std::max(height, height_), fill);
}

void DibSurface::resizeTo(int width, int height, std::uint32_t fill) {
  const int w = std::max(width, 1);
  const int h = std::max(height, 1);
  if (w == width_ && h == height_) return;
  std::uint32_t* bits = nullptr;
  HBITMAP bmp = makeBitmap(w, h, fill, &bits);
  if (!bmp || !bits) {
    if (bmp) DeleteObject(bmp);
    return;  // keep the image it has rather than none
  }
  GdiFlush();
  const int keepW = std::min(w, width_);
  for (int y = 0; bits_ && y < std::min(h, height_); ++y)
    std::copy_n(bits_ + static_cast<std::size_t>(y) * width_, keepW, bits + static_cast<std::size_t>(y) * w);
  SelectObject(dc_, bmp);
  DeleteObject(bitmap_);
  bitmap_ = bmp;
  bits_ = bits;
  width_ = w;
  height_ = h;
}

}  // namespace platform::win32
