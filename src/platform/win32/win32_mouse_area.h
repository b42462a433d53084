// A mouse area: a rectangle of a window's client area with a tooltip of its
// own. The window routes the mouse messages to it; it draws nothing.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class Win32MouseArea final : public MouseArea {
 public:
  Win32MouseArea(HWND owner, HWND toolTips, UINT id, RECT rect);
  ~Win32MouseArea() override;
  Win32MouseArea(const Win32MouseArea&) = delete;
  Win32MouseArea& operator=(const Win32MouseArea&) = delete;

  void setToolTipText(const std::string& text) override;
  std::string toolTipText() const override { return text_; }

  const RECT& rect() const { return rect_; }
  bool contains(int x, int y) const {
    return x >= rect_.left && x < rect_.right && y >= rect_.top && y < rect_.bottom;
  }

 private:
  HWND owner_;
  HWND toolTips_;
  UINT id_;
  RECT rect_;
  std::string text_;
  std::wstring wideText_;
};

}  // namespace platform::win32
