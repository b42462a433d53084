// A mouse area's tooltip, one tool of its window's tooltip control.
#include "platform/win32/win32_mouse_area.h"

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

TTTOOLINFOW toolInfo(HWND owner, UINT id) {
  TTTOOLINFOW ti{};
  // The first layout: every comctl32 version takes it.
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.hwnd = owner;
  ti.uId = id;
  return ti;
}

}  // namespace

Win32MouseArea::Win32MouseArea(HWND owner, HWND toolTips, UINT id, RECT rect)
    : owner_(owner), toolTips_(toolTips), id_(id), rect_(rect) {
  if (!toolTips_) return;
  TTTOOLINFOW ti = toolInfo(owner_, id_);
  // The window relays the mouse messages that count to the control.
  ti.uFlags = 0;
  ti.rect = rect_;
  ti.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

Win32MouseArea::~Win32MouseArea() {
  if (!toolTips_ || !IsWindow(toolTips_)) return;
  TTTOOLINFOW ti = toolInfo(owner_, id_);
  SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32MouseArea::setToolTipText(const std::string& text) {
  // The window classes set the text on every mouse move; updating the
  // control only on a change keeps a shown tip from flickering.
  if (text == text_) return;
  text_ = text;
  wideText_ = widen(text);
  if (!toolTips_) return;
  TTTOOLINFOW ti = toolInfo(owner_, id_);
  ti.lpszText = wideText_.data();
  SendMessageW(toolTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace platform::win32
