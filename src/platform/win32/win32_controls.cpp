// The system's controls as the interface's Label, TextBox and Button.
#include "platform/win32/win32_controls.h"

#include <cstddef>

#include "platform/win32/text.h"

namespace platform::win32 {

HFONT createDialogFont() {
  NONCLIENTMETRICSW ncm{};
  // The record without its last member, iPaddedBorderWidth: every version
  // of the system takes that size.
  ncm.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0))
    if (HFONT font = CreateFontIndirectW(&ncm.lfMessageFont)) return font;
  return nullptr;
}

Win32Control::Win32Control(HWND parent, UINT id, const wchar_t* cls, DWORD style, DWORD exStyle, RECT rect,
                           HFONT font, const std::string& text)
    : hwnd_(CreateWindowExW(exStyle, cls, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr)),
      id_(id) {
  if (hwnd_ && font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

Win32Control::~Win32Control() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::string Win32Control::text() const {
  const int n = GetWindowTextLengthW(hwnd_);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, wide.data(), n + 1)));
  return narrow(wide);
}

void Win32Control::setText(const std::string& text) { SetWindowTextW(hwnd_, widen(text).c_str()); }

Win32Label::Win32Label(HWND parent, UINT id, RECT rect, HFONT font, const std::string& text)
    : Win32ControlOf(parent, id, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, rect, font, text) {}

Win32TextBox::Win32TextBox(HWND parent, UINT id, RECT rect, HFONT font, const std::string& text)
    : Win32ControlOf(parent, id, L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, rect, font,
                     text) {}

void Win32TextBox::selectAll() { SendMessageW(hwnd(), EM_SETSEL, 0, -1); }

void Win32TextBox::focus() { SetFocus(hwnd()); }

void Win32TextBox::notified(WORD code) {
  if (code != EN_CHANGE) return;
  auto handler = onChange;
  callSafely(handler);
}

Win32Button::Win32Button(HWND parent, UINT id, RECT rect, HFONT font, const std::string& caption)
    : Win32ControlOf(parent, id, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, rect, font, caption) {}

// The default button wears the heavier border.
void Win32Button::defaultChanged() {
  SendMessageW(hwnd(), BM_SETSTYLE, isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Win32Button::notified(WORD code) {
  if (code == BN_CLICKED) press();
}

void Win32Button::press() {
  if (!enabled()) return;
  auto handler = onClick;
  callSafely(handler);
}

}  // namespace platform::win32
