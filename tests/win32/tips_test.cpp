// The characters' tips: under a resting pointer a tip shows and goes after its
// time though frames take his window away and back; none shows while his box
// is open (a tip is topmost and would cover it), and afterwards it does again.
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include "module/Module1.h"
#include "windows/frame.h"
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

// Onto a window with two real moves; the pointer rests there afterwards.
void restOn(Platform& os, RECT r) {
  SetCursorPos(r.left + 10, r.top + 20), os.doEventsPaced(1, 50);
  SetCursorPos(r.left + 30, r.top + 40);
}

TEST(Tips, ShowUnderARestingPointerAndGoAfterTheirTimeThoughFramesGoOn) {
  win32::Win32Platform os;
  const ScreenMetrics tpp = os.screen();
  auto w = os.createWindow({"XpekkoTestToolTip", "", WindowKind::Character, 64 * tpp.twipsPerPixelX,
                            64 * tpp.twipsPerPixelY, false});
  w->setLeft(300 * tpp.twipsPerPixelX), w->setTop(200 * tpp.twipsPerPixelY);
  w->addMouseArea(0, 0, 64, 64).setToolTipText("12時34分"), w->show();
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  drawFrame(os, m, {*w, *work, *sheet, 64}, 0), restOn(os, {300, 200, 364, 264});
  // Frames as fast as a ride's for 9 s: longer than the wait to show and the
  // tip's time on the screen (5 s by default), with room for a slow machine.
  DWORD shownAt = 0, goneAt = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 9000;) {
    os.doEventsPaced(1, 40);
    drawFrame(os, m, {*w, *work, *sheet, 64}, static_cast<std::int16_t>((GetTickCount() / 40) % 3));
    const DWORD t = GetTickCount() - start;
    if (!shownAt && tipShown()) shownAt = t;
    if (shownAt && !goneAt && !tipShown()) goneAt = t;
  }
  ASSERT_NE(shownAt, 0u) << "no tip under the resting pointer";
  EXPECT_NE(goneAt, 0u) << "the tip was still up at 9 s";
  EXPECT_GE(goneAt - shownAt, 3000u) << "the tip shown at " << shownAt << " ms went at " << goneAt << " ms";
  SetCursorPos(1010, 10);
}

int boxTicks = 0;
bool tipUnderBox = false;

// Runs in the box's own message loop every 100 ms; closes it after 2.5 s.
void CALLBACK watchBox(HWND, UINT, UINT_PTR, DWORD) {
  tipUnderBox |= tipShown();
  HWND box = FindWindowW(L"#32770", nullptr);
  if (box && ++boxTicks == 25) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Tips, NoneWhileTheClockBoxIsOpenAndAgainAfter) {
  win32::Win32Platform os;
  Program program(os);
  program.start();
  const HWND pekko = win32::fromHandle<HWND>(program.pekko().form().hWnd());
  RECT r{};
  GetWindowRect(pekko, &r), restOn(os, r);
  os.doEventsPaced(1, 50);
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, watchBox);
  program.pekko().Image1_Click(), KillTimer(nullptr, timer);
  EXPECT_GE(boxTicks, 25) << "the box closed before its time";
  EXPECT_FALSE(tipUnderBox) << "a character's tip showed while his box was open";
  // Off him and back on, as a user would to see the tip again.
  SetCursorPos(r.left - 40, r.top - 40), os.doEventsPaced(1, 100);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 4000 && !tipShown()) {
    GetWindowRect(pekko, &r);  // he may have walked on
    SetCursorPos(r.left + 30 + static_cast<int>(GetTickCount() / 1000 % 2), r.top + 40);
    os.doEventsPaced(1, 50);
  }
  EXPECT_TRUE(tipShown()) << "no tip over him after the box was closed";
  SetCursorPos(1010, 10);
}

}  // namespace
