// A character's tip under a resting pointer: it shows, and it goes after
// its time, although the character keeps drawing frames under the pointer
// (each frame takes his window away and back: the system reports that as
// mouse moves, and for a moment the control finds no window of his under
// the pointer).
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include "module/Module1.h"
#include "windows/frame.h"

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

TEST(ToolTip, ShowsUnderARestingPointerAndGoesAfterItsTimeThoughFramesGoOn) {
  win32::Win32Platform os;
  const ScreenMetrics tpp = os.screen();
  WindowDesign d;
  d.className = "XpekkoTestToolTip";
  d.width = 64 * tpp.twipsPerPixelX;
  d.height = 64 * tpp.twipsPerPixelY;
  auto w = os.createWindow(d);
  w->setLeft(300 * tpp.twipsPerPixelX);
  w->setTop(200 * tpp.twipsPerPixelY);
  MouseArea& area = w->addMouseArea(0, 0, 64, 64);
  area.setToolTipText("12時34分");
  w->show();
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  drawFrame(os, m, {*w, *work, *sheet, 64}, 0);

  // Onto him with two real moves, then the pointer rests there.
  SetCursorPos(310, 210);
  os.doEventsPaced(1, 50);
  SetCursorPos(330, 230);

  // Frames as fast as a ride's (one each 40 ms) for 9 s: more than the
  // tip's wait to show and its time on the screen (5 s by default), with
  // room for a slow machine. Each frame has the window out of the way for
  // a moment, when the control may look for the window under the pointer.
  DWORD shownAt = 0, goneAt = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 9000) {
    os.doEventsPaced(1, 40);
    drawFrame(os, m, {*w, *work, *sheet, 64}, static_cast<std::int16_t>((GetTickCount() / 40) % 3));
    const DWORD t = GetTickCount() - start;
    if (!shownAt && tipShown()) shownAt = t;
    if (shownAt && !goneAt && !tipShown()) goneAt = t;
  }
  ASSERT_NE(shownAt, 0u) << "no tip under the resting pointer";
  EXPECT_GE(goneAt - shownAt, 3000u) << "the tip shown at " << shownAt << " ms went at " << goneAt << " ms";
  EXPECT_NE(goneAt, 0u) << "the tip shown at " << shownAt << " ms was still up at 9 s";
  SetCursorPos(900, 100);
}

}  // namespace
