// ペッコ's clock box over the running program, with the pointer left resting
// on him where the click was: no tip of a character shows while the box is
// open (a tip is topmost and would cover it; under Wine, tips that came and
// went under an open box also kept some memory each time), and his tip works
// again once the box is closed.
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include "windows/pekkoForm.h"
#include "windows/program.h"

namespace {

using namespace platform;

BOOL CALLBACK findShownTip(HWND hwnd, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (wcscmp(cls, TOOLTIPS_CLASSW) == 0 && IsWindowVisible(hwnd)) *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

bool tipShown() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), findShownTip, reinterpret_cast<LPARAM>(&found));
  return found;
}

int boxTicks = 0;
bool tipUnderBox = false;

// Runs in the box's own message loop every 100 ms; closes it after 2.5 s.
void CALLBACK watchBox(HWND, UINT, UINT_PTR, DWORD) {
  tipUnderBox |= tipShown();
  HWND box = FindWindowW(L"#32770", nullptr);
  if (box && ++boxTicks == 25) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(ClockBox, NoTipWhileItIsOpenAndTheTipAgainAfter) {
  win32::Win32Platform os;
  Program program(os);
  program.start();
  RECT r{};
  GetWindowRect(win32::fromHandle<HWND>(program.pekko().form().hWnd()), &r);
  // Onto him with two real moves; the pointer rests there from now on.
  SetCursorPos(r.left + 10, r.top + 20);
  os.doEventsPaced(1, 50);
  SetCursorPos(r.left + 30, r.top + 40);
  os.doEventsPaced(1, 50);

  const UINT_PTR timer = SetTimer(nullptr, 0, 100, watchBox);
  program.pekko().Image1_Click();
  KillTimer(nullptr, timer);
  EXPECT_GE(boxTicks, 25) << "the box closed before its time";
  EXPECT_FALSE(tipUnderBox) << "a character's tip showed while his box was open";

  // Off him and back on, as a user would to see the tip again.
  bool tipAfter = false;
  SetCursorPos(r.left - 40, r.top - 40);
  os.doEventsPaced(1, 100);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 4000 && !tipAfter; os.doEventsPaced(1, 50)) {
    GetWindowRect(win32::fromHandle<HWND>(program.pekko().form().hWnd()), &r);
    SetCursorPos(r.left + 30 + (GetTickCount() / 1000) % 2, r.top + 40);
    tipAfter = tipShown();
  }
  EXPECT_TRUE(tipAfter) << "no tip over him after the box was closed";
  SetCursorPos(1010, 10);
}

}  // namespace
