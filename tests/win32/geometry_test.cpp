// A character window on the real desktop: a move is held until it can be
// seen and reads back as set; a walk step is two window changes that end in
// place, a cell in size and topmost, with only the cell kept behind it; a
// thousand frames and steps hold no more GDI objects; and the display scale.
#include "platform/common/picture.h"
#include "platform/twips.h"
#include "platform/win32/display.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_window.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>
#include <vector>

#include "module/Module1.h"
#include "windows/frame.h"

namespace {

using namespace platform;
using platform::win32::fromHandle;

int g_changes = 0;  // window changes the system reports to the watched window
HWND g_watched = nullptr;
LRESULT CALLBACK countChanges(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->hwnd == g_watched && msg->message == WM_WINDOWPOSCHANGED) ++g_changes;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// GDI objects of this process, counted in its handle table (Wine's
// GetGuiResources says 0): entries with a type are objects in use.
int gdiObjects() {
  struct Entry {  // the same 24 bytes for 32 and 64 bits
    unsigned long long object;
    ULONG owner;
    USHORT unique;
    UCHAR type, flags;
    unsigned long long user;
  };
  using GetPeb = char*(WINAPI*)();
  const auto peb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")))();
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
  int n = 0;
  for (int i = 0; table && i < 0x10000; ++i) n += table[i].type != 0;
  return n;
}

TEST(Geometry, HeldMoveWalkStepAndAThousandFrames) {
  win32::Win32Platform os;
  const ScreenMetrics tpp = os.screen();
  // Design sizes are far larger than a cell.
  auto w = os.createWindow({"XpekkoTestGeometry", "", WindowKind::Character, 800 * tpp.twipsPerPixelX,
                            424 * tpp.twipsPerPixelY, false});
  w->setLeft(300 * tpp.twipsPerPixelX), w->setTop(200 * tpp.twipsPerPixelY);
  w->show(), os.doEvents();
  const HWND hwnd = fromHandle<HWND>(w->hWnd());
  RECT r{};
  const float left = 317 * tpp.twipsPerPixelX + 7;  // not a whole pixel
  w->setLeft(left), os.doEvents();
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 317);
  EXPECT_EQ(w->left(), left);  // read back as set, not as the pixel it became
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  g_watched = hwnd;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countChanges, nullptr, GetCurrentThreadId());
  w->setTop(w->top() + 160), drawFrame(os, m, {*w, *work, *sheet, 64}, 3);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_changes, 2);  // the move goes with the collapse, the restore with the band
  GetWindowRect(hwnd, &r);
  EXPECT_EQ((std::vector<long>{r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<long>{200 + toPixels(160, tpp.twipsPerPixelY), 64, 64}));
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Only the cell is kept behind the window, and it holds the frame.
  EXPECT_EQ(dynamic_cast<win32::Win32Window&>(*w).backImage().read(), work->read());
  auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      w->setLeft(static_cast<float>(300 + i % 40) * tpp.twipsPerPixelX);
      drawFrame(os, m, {*w, *work, *sheet, 64}, static_cast<std::int16_t>(i % 12));
      if (i % 16 == 0) os.doEvents();
    }
  };
  frames(100);  // the system's caches fill with the first frames
  const int before = gdiObjects();
  ASSERT_GT(before, 0) << "no GDI handle table";
  frames(1000);
  EXPECT_EQ(gdiObjects(), before);
}

// At every display scale s a pixel of the program is s x s of the screen's:
// a frame is the cell in s x s blocks over exactly what lies behind it, at s
// times the pixel its twips give; mouse areas and a dialog's controls grow
// with it. run_wine_tests.py runs this at 96, 144 and 192 dpi.
TEST(Scale, AFrameIsTheCellInBlocksOverTheExactDesktop) {
  win32::Win32Platform os;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX), s = win32::pixelScale();
  const ScreenMetrics scr = os.screen();
  const float tpp = scr.twipsPerPixelX, screenW = static_cast<float>(GetSystemMetrics(SM_CXSCREEN));
  ASSERT_EQ(std::make_tuple(s, tpp, scr.width),
            std::make_tuple(displayScale(dpi), twipsPerScaledPixel(dpi),
                            screenW * (1440.0f / static_cast<float>(dpi))));
  const auto tw = [&](int px) { return static_cast<float>(px) * tpp; };
  // A backdrop whose every screen pixel differs from its neighbours.
  constexpr int kBack = 120, kAt = 40;  // program pixels
  auto back = os.createWindow({"XpekkoTestBackdrop", "", WindowKind::Character, tw(kBack), tw(kBack), false});
  back->setLeft(tw(kAt)), back->setTop(tw(kAt)), back->show();
  Bitmap pattern(kBack * s, kBack * s);
  for (int y = 0; y < pattern.height; ++y)
    for (int x = 0; x < pattern.width; ++x)
      pattern.at(x, y) = std::uint32_t(x * 7 % 256) << 16 | (y * 13 % 256) << 8 | (x + y) * 29 % 256;
  win32::DibSurface patternDib(pattern.width, pattern.height);
  patternDib.write(pattern);
  BitBlt(fromHandle<HDC>(back->hDC()), 0, 0, pattern.width, pattern.height, patternDib.dc(), 0, 0, SRCCOPY);
  back->refresh(), os.doEvents();
  constexpr int kLeft = 71, kTop = 57, kCell = 5;  // program pixels, inside the backdrop
  auto w = os.createWindow({"XpekkoTestScale", "", WindowKind::Character, tw(800), tw(424), false});
  bool areaMoved = false;
  w->addMouseArea(0, 0, 64, 64).onMouseMove = [&](const MouseEvent&) { areaMoved = true; };
  w->setLeft(tw(kLeft)), w->setTop(tw(kTop)), w->show();
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  drawFrame(os, m, {*w, *work, *sheet, 64}, kCell), os.doEvents();
  const HWND hwnd = fromHandle<HWND>(w->hWnd());
  RECT r{};
  GetWindowRect(hwnd, &r);
  EXPECT_EQ((std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<long>{kLeft * s, kTop * s, 64 * s, 64 * s}));
  // The screen from 8 of the program's pixels above and left of him.
  const int x0 = (kLeft - 8) * s, y0 = (kTop - 8) * s, size = 80 * s;
  win32::DibSurface seen(size, size);
  BitBlt(seen.dc(), 0, 0, size, size, screen, x0, y0, SRCCOPY), ReleaseDC(nullptr, screen);
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(XPEKKO_RPIC1), MAKEINTRESOURCEW(10));
  const Bitmap got = seen.read(),
               cells =
                   decodePicture(static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, res))),
                                 SizeofResource(nullptr, res));
  int wrong = 0, figure = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int cx = (x0 + x) / s - kLeft, cy = (y0 + y) / s - kTop;
      const std::uint32_t bg = pattern.at(x0 + x - kAt * s, y0 + y - kAt * s);
      const bool his = cx >= 0 && cx < 64 && cy >= 0 && cy < 64;
      const std::uint32_t image = his ? cells.at(kCell * 64 + cx, cy) : 0xFFFFFF;
      const std::uint32_t mask = his ? cells.at(kCell * 64 + cx, 64 + cy) : 0xFFFFFF;
      figure += mask == 0, wrong += got.at(x, y) != ((image ^ (mask & ~bg)) & 0xFFFFFF);
    }
  EXPECT_EQ(wrong, 0) << "of " << size * size << " screen pixels, " << figure << " of them the figure's";
  EXPECT_GT(figure, 1000 * s * s);
  // The corner screen pixel of his area is still his area.
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(64 * s - 1, 64 * s - 1));
  EXPECT_TRUE(areaMoved);
  // A dialog's control is placed in the program's pixels too.
  auto dialog = os.createWindow({"XpekkoTestScaleDialog", "", WindowKind::Dialog, tw(200), tw(100), false});
  dialog->addButton(8, 10, 60, 20, "OK");
  RECT b{};
  GetClientRect(FindWindowExW(fromHandle<HWND>(dialog->hWnd()), nullptr, L"Button", nullptr), &b);
  EXPECT_EQ(std::make_pair(b.right, b.bottom), std::make_pair(60L * s, 20L * s));
}

// Wine's desktop is one monitor, the screen; a window counts as full
// screen when it covers a monitor to the pixel, not one short on any side.
TEST(Monitors, TheScreenAndTheWindowsThatCoverIt) {
  win32::Win32Platform os;
  const std::vector<Monitor> ms = os.monitors();
  const ScreenMetrics s = os.screen();
  ASSERT_EQ(ms.size(), 1u);
  EXPECT_EQ(std::make_tuple(ms[0].left, ms[0].top, ms[0].right, ms[0].bottom, ms[0].primary),
            std::make_tuple(0.0f, 0.0f, s.width, s.height, true));
  const RECT m{0, 0, 1024, 768};
  EXPECT_TRUE(win32::coversMonitor(m, m));
  for (const RECT& r :
       {RECT{1, 0, 1024, 768}, RECT{0, 1, 1024, 768}, RECT{0, 0, 1023, 768}, RECT{0, 0, 1024, 767}})
    EXPECT_FALSE(win32::coversMonitor(r, m)) << r.left << r.top << r.right << r.bottom;
}

}  // namespace
