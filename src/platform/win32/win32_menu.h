// A window's menu, shown only as a popup at the mouse pointer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class Win32Menu final : public Menu {
 public:
  Win32Menu(HWND owner, std::string caption);
  ~Win32Menu() override;
  Win32Menu(const Win32Menu&) = delete;
  Win32Menu& operator=(const Win32Menu&) = delete;

  int addItem(const std::string& caption, std::function<void()> onClick) override;
  int itemCount() const override { return static_cast<int>(items_.size()); }
  std::string caption(int item) const override;
  void setCaption(int item, const std::string& caption) override;
  bool visible() const override { return visible_; }
  void setVisible(bool visible) override { visible_ = visible; }
  void popup() override;

 private:
  struct Item {
    std::string caption;
    std::function<void()> onClick;
    UINT id;
  };

  void describe(int item, UINT flagsBase);

  HWND owner_;
  std::string caption_;
  HMENU menu_;
  std::vector<Item> items_;
  // Command ids are unique within the menu (TrackPopupMenu returns the one
  // chosen, 0 for none) and above the ids of its window's child controls.
  UINT nextCommand_ = 1000;
  bool visible_ = true;
};

}  // namespace platform::win32
