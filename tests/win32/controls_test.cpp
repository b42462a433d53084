// Child controls on the real desktop: the system's EDIT raises the change
// event for typed and set text alike, the keys of a shown dialog reach the
// dialog manager through the layer's one dispatch, a disabled control takes
// no input, and the window's own painting leaves its controls alone.
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace platform;
using platform::win32::fromHandle;

HWND hwndOf(Control& c) { return dynamic_cast<win32::Win32Control&>(c).hwnd(); }

TEST(Win32Controls, TextKeysDisabledStateAndPaintingInOneDialog) {
  win32::Win32Platform os;
  auto dialog = os.createWindow({"XpekkoTestControls", "テスト", WindowKind::Dialog, 4500, 1500, false});
  Label& caption = dialog->addLabel(8, 8, 160, 20, "駆け落ち率");
  TextBox& rate = dialog->addTextBox(8, 40, 60, 22, "10");
  Button& ok = dialog->addButton(80, 40, 70, 24, "OK");
  Button& cancel = dialog->addButton(160, 40, 90, 24, "キャンセル");
  std::vector<std::string> seen;
  rate.onChange = [&] { seen.push_back(rate.text()); }, ok.setDefault(true);
  cancel.setCancel(true), ok.onClick = [&] { seen.push_back("ok"); };
  cancel.onClick = [&] { seen.push_back("cancel"); }, dialog->show();
  os.doEventsPaced(5, 50);
  auto press = [&](WPARAM key) {  // as the keyboard brings it to the control with the focus
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1), PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    os.doEventsPaced(5, 50);
  };

  EXPECT_EQ(caption.text(), "駆け落ち率");
  EXPECT_NE(SendMessageW(hwndOf(rate), WM_GETFONT, 0, 0), 0);  // the system's dialog font, not the bitmap one
  rate.setText("ペッコ"), rate.focus();
  rate.selectAll(), PostMessageW(hwndOf(rate), WM_CHAR, '7', 1);
  os.doEventsPaced(5, 50);
  EXPECT_EQ(rate.text(), "7");
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), hwndOf(ok));
  press(VK_TAB);
  press(VK_TAB);  // round past the cancel button and the label to the first
  EXPECT_EQ(GetFocus(), hwndOf(rate));
  press(VK_RETURN), press(VK_ESCAPE);
  EXPECT_EQ(seen, (std::vector<std::string>{"ペッコ", "7", "ok", "cancel"}));
  // Disabled, the box takes no focus and the default button no Enter.
  seen.clear(), rate.setEnabled(false);
  ok.setEnabled(false);
  EXPECT_FALSE(rate.enabled());
  rate.focus();
  EXPECT_NE(GetFocus(), hwndOf(rate));
  SetFocus(hwndOf(cancel)), press(VK_RETURN);
  EXPECT_TRUE(seen.empty());
  ok.setEnabled(true), SendMessageW(hwndOf(ok), BM_CLICK, 0, 0);
  os.doEventsPaced(5, 50);
  EXPECT_EQ(seen, (std::vector<std::string>{"ok"}));
  // A red back image brought to the screen: the label keeps its own face.
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT all{0, 0, 300, 100};
  FillRect(fromHandle<HDC>(dialog->hDC()), &all, red), DeleteObject(red);
  dialog->refresh(), os.doEventsPaced(5, 100);
  POINT label{150, 10}, face{150, 80};  // the label's right end, where it has no text; below every control
  ClientToScreen(fromHandle<HWND>(dialog->hWnd()), &label);
  ClientToScreen(fromHandle<HWND>(dialog->hWnd()), &face);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, face.x, face.y), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(screen, label.x, label.y), RGB(255, 0, 0));
  ReleaseDC(nullptr, screen);
}

}  // namespace
