// Popup menus the documented way for notification-area icons.
#include "platform/win32/win32_menu.h"

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

bool isSeparator(const std::string& caption) { return caption == "-"; }

}  // namespace

Win32Menu::Win32Menu(HWND owner, std::string caption)
    : owner_(owner), caption_(std::move(caption)), menu_(CreatePopupMenu()) {}

Win32Menu::~Win32Menu() {
  if (menu_) DestroyMenu(menu_);
}

int Win32Menu::addItem(const std::string& caption, std::function<void()> onClick) {
  items_.push_back({caption, std::move(onClick), nextCommand_++});
  const Item& item = items_.back();
  if (isSeparator(caption))
    AppendMenuW(menu_, MF_SEPARATOR, item.id, nullptr);
  else
    AppendMenuW(menu_, MF_STRING, item.id, widen(caption).c_str());
  return static_cast<int>(items_.size()) - 1;
}

std::string Win32Menu::caption(int item) const {
  if (item < 0 || item >= itemCount()) return {};
  return items_[static_cast<std::size_t>(item)].caption;
}

void Win32Menu::setCaption(int item, const std::string& caption) {
  if (item < 0 || item >= itemCount()) return;
  Item& it = items_[static_cast<std::size_t>(item)];
  it.caption = caption;
  // ModifyMenu changes an item between text and separator, which
  // SetMenuItemInfo with MIIM_STRING alone would not.
  if (isSeparator(caption))
    ModifyMenuW(menu_, static_cast<UINT>(item), MF_BYPOSITION | MF_SEPARATOR, it.id, nullptr);
  else
    ModifyMenuW(menu_, static_cast<UINT>(item), MF_BYPOSITION | MF_STRING, it.id, widen(caption).c_str());
}

void Win32Menu::popup() {
  POINT pt{};
  GetCursorPos(&pt);
  // Without the owner in the foreground the menu would not close when the
  // user clicks elsewhere; the WM_NULL afterwards makes the next popup
  // work on the first click (both are the documented cure).
  SetForegroundWindow(owner_);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                     pt.x, pt.y, 0, owner_, nullptr));
  PostMessageW(owner_, WM_NULL, 0, 0);
  if (chosen == 0) return;
  for (const Item& item : items_) {
    if (item.id != chosen || isSeparator(item.caption)) continue;
    // A copy: the handler may change the menu it was chosen from.
    auto handler = item.onClick;
    callSafely(handler);
    return;
  }
}

}  // namespace platform::win32
