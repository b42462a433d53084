// A character's tip under a resting pointer: it shows, and it goes after
// its time, although the character keeps drawing frames under the pointer
// (each frame takes his window away and back, which the system reports as
// mouse moves; had the tip control taken those for moves, a frame every
// 250 ms would keep it from ever showing).
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

  // Frames every 250 ms for 9 s: more than the tip's wait to show and its
  // time on the screen (5 s by default), with room for a slow machine.
  bool shown = false;
  DWORD shownAt = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 9000) {
    os.doEventsPaced(1, 250);
    drawFrame(os, m, {*w, *work, *sheet, 64}, static_cast<std::int16_t>((GetTickCount() / 250) % 3));
    if (!shown && tipShown()) {
      shown = true;
      shownAt = GetTickCount() - start;
    }
  }
  EXPECT_TRUE(shown) << "no tip under the resting pointer";
  EXPECT_FALSE(tipShown()) << "the tip shown after " << shownAt << " ms was still up at 9 s";
  SetCursorPos(900, 100);
}

}  // namespace
