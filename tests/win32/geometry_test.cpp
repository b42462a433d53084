// A character window on the real desktop: a move is held until it can be
// seen and reads back as set; a walk step is two window changes that end in
// place, a cell in size and topmost, with only the cell kept behind it; a
// thousand frames and steps hold no more GDI objects; and a sheet with a
// colour table reaches GDI as its decoded pixels.
#include "platform/common/picture.h"
#include "platform/twips.h"
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
  w->setLeft(300 * tpp.twipsPerPixelX);
  w->setTop(200 * tpp.twipsPerPixelY);
  w->show();
  os.doEvents();
  const HWND hwnd = fromHandle<HWND>(w->hWnd());
  RECT r{};

  const float left = 317 * tpp.twipsPerPixelX + 7;  // not a whole pixel
  w->setLeft(left);
  os.doEvents();
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 317);
  EXPECT_EQ(w->left(), left);  // read back as set, not as the pixel it became

  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  g_watched = hwnd;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countChanges, nullptr, GetCurrentThreadId());
  w->setTop(w->top() + 160);
  drawFrame(os, m, {*w, *work, *sheet, 64}, 3);
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

TEST(Geometry, APictureWithAColourTableCopiesAsItsDecodedPixels) {
  win32::Win32Platform os;
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(XPEKKO_RPIC3), MAKEINTRESOURCEW(10));
  const Bitmap decoded = decodePicture(
      static_cast<const std::uint8_t*>(LockResource(LoadResource(self, res))), SizeofResource(self, res));
  auto sheet = os.loadPicture(Picture::rPic3);
  EXPECT_TRUE(dynamic_cast<win32::DibSurface&>(*sheet).hasColourTable());
  // What GDI makes of it in a 32-bit surface, not only what it reads back.
  auto copy = os.createSurface(decoded.width, decoded.height);
  BitBlt(fromHandle<HDC>(copy->hDC()), 0, 0, decoded.width, decoded.height, fromHandle<HDC>(sheet->hDC()), 0,
         0, SRCCOPY);
  EXPECT_EQ(copy->read(), decoded);
  EXPECT_EQ(sheet->read(), decoded);
}

}  // namespace
