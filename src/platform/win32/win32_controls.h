// Child controls: the system's own STATIC, EDIT and BUTTON windows in the
// system's dialog font. Their window routes WM_COMMAND to them.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

// The child window every control is; the interfaces' members are forwarded
// here by Win32ControlOf.
class Win32Control {
 public:
  Win32Control(HWND parent, UINT id, const wchar_t* cls, DWORD style, DWORD exStyle, RECT rect, HFONT font,
               const std::string& text);
  virtual ~Win32Control();
  Win32Control(const Win32Control&) = delete;
  Win32Control& operator=(const Win32Control&) = delete;

  // The control as the program sees it.
  virtual Control& control() = 0;
  HWND hwnd() const { return hwnd_; }
  UINT id() const { return id_; }
  // A WM_COMMAND the control sent its window, by its notification code.
  virtual void notified(WORD) {}

 protected:
  std::string text() const;
  void setText(const std::string& text);
  bool enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  void setEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

 private:
  HWND hwnd_;
  UINT id_;
};

template <typename Interface>
class Win32ControlOf : public Interface, public Win32Control {
 public:
  using Win32Control::Win32Control;
  Control& control() override { return *this; }
  std::string text() const override { return Win32Control::text(); }
  void setText(const std::string& text) override { Win32Control::setText(text); }
  bool enabled() const override { return Win32Control::enabled(); }
  void setEnabled(bool enabled) override { Win32Control::setEnabled(enabled); }
};

class Win32Label final : public Win32ControlOf<Label> {
 public:
  Win32Label(HWND parent, UINT id, RECT rect, HFONT font, const std::string& text);
};

class Win32TextBox final : public Win32ControlOf<TextBox> {
 public:
  Win32TextBox(HWND parent, UINT id, RECT rect, HFONT font, const std::string& text);
  void selectAll() override;
  void focus() override;
  // EN_CHANGE: the system sends it for typing and for WM_SETTEXT alike.
  void notified(WORD code) override;
};

class Win32Button final : public Win32ControlOf<Button> {
 public:
  Win32Button(HWND parent, UINT id, RECT rect, HFONT font, const std::string& caption);
  // BN_CLICKED, and Enter or Esc through the window.
  void notified(WORD code) override;
  void press();

 private:
  void defaultChanged() override;
};

// The system's font for dialogs and message boxes (on a Japanese system a
// Japanese one), at the screen's resolution; null if the system has none.
HFONT createDialogFont();

}  // namespace platform::win32
