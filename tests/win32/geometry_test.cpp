// Character windows hold their moves and sizes until they can be seen, and
// keep only what is visible: the geometry the program reads back, the
// window calls one frame makes, the back image and the pictures.
#include "platform/common/picture.h"
#include "platform/twips.h"
#include "platform/win32/dib_surface.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/session.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

#include <gtest/gtest.h>

#include "module/Module1.h"
#include "windows/frame.h"

namespace {

using namespace platform;
using platform::win32::DibSurface;
using platform::win32::fromHandle;
using platform::win32::Win32Window;

// Window changes the system reports to a window of this thread.
int g_changes = 0;
HWND g_watched = nullptr;
LRESULT CALLBACK countChanges(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->hwnd == g_watched && msg->message == WM_WINDOWPOSCHANGED) ++g_changes;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Geometry : public ::testing::Test {
 protected:
  std::unique_ptr<Window> character(const char* cls) {
    WindowDesign d;
    d.className = cls;
    d.width = 800 * tpp.twipsPerPixelX;  // design sizes are far larger than a cell
    d.height = 424 * tpp.twipsPerPixelY;
    auto w = os.createWindow(d);
    w->setLeft(300 * tpp.twipsPerPixelX);
    w->setTop(200 * tpp.twipsPerPixelY);
    w->show();
    os.doEvents();
    return w;
  }
  static RECT rectOf(const Window& w) {
    RECT r{};
    GetWindowRect(fromHandle<HWND>(w.hWnd()), &r);
    return r;
  }

  platform::win32::Win32Platform os;
  ScreenMetrics tpp = os.screen();
};

TEST_F(Geometry, AHeldMoveReadsBackAsSetAndReachesTheSystemWithTheNextPass) {
  auto w = character("XpekkoTestGeometryA");
  const float left = 317 * tpp.twipsPerPixelX + 7;  // not a whole pixel
  w->setLeft(left);
  EXPECT_EQ(w->left(), left);
  os.doEvents();
  EXPECT_EQ(rectOf(*w).left, 317);
  EXPECT_EQ(rectOf(*w).top, 200);
  EXPECT_EQ(w->left(), left);
}

TEST_F(Geometry, AWalkStepIsTwoWindowChangesAndEndsInPlaceSizedAndTopmost) {
  auto w = character("XpekkoTestGeometryB");
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  g_watched = fromHandle<HWND>(w->hWnd());
  g_changes = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countChanges, nullptr, GetCurrentThreadId());
  w->setTop(w->top() + 160);
  drawFrame(os, m, {*w, *work, *sheet, 64}, 3);
  UnhookWindowsHookEx(hook);

  // The move goes with the collapse, the restore with the band.
  EXPECT_EQ(g_changes, 2);
  const RECT r = rectOf(*w);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 200 + toPixels(160, tpp.twipsPerPixelY));
  EXPECT_EQ(r.right - r.left, 64);
  EXPECT_EQ(r.bottom - r.top, 64);
  EXPECT_TRUE(GetWindowLongW(g_watched, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Only the cell is kept behind the window, and it holds the frame.
  const auto& back = dynamic_cast<Win32Window&>(*w).backImage();
  EXPECT_EQ(back.width(), 64);
  EXPECT_EQ(back.height(), 64);
  EXPECT_EQ(back.read(), work->read());
}

TEST_F(Geometry, APictureWithAColourTableCopiesAsItsDecodedPixels) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(XPEKKO_RPIC3), MAKEINTRESOURCEW(10));
  ASSERT_NE(res, nullptr);
  const Bitmap decoded = decodePicture(
      static_cast<const std::uint8_t*>(LockResource(LoadResource(self, res))), SizeofResource(self, res));
  auto sheet = os.loadPicture(Picture::rPic3);
  EXPECT_TRUE(dynamic_cast<DibSurface&>(*sheet).hasColourTable());
  // What GDI makes of it in a 32-bit surface, not only what it reads back.
  auto copy = os.createSurface(decoded.width, decoded.height);
  BitBlt(fromHandle<HDC>(copy->hDC()), 0, 0, decoded.width, decoded.height, fromHandle<HDC>(sheet->hDC()), 0,
         0, SRCCOPY);
  EXPECT_EQ(copy->read(), decoded);
  EXPECT_EQ(sheet->read(), decoded);
}

// GDI objects of this process, counted in its handle table: Wine's
// GetGuiResources says 0. Entries with a type are objects in use.
int gdiObjects() {
  struct Entry {  // the same 24 bytes for 32 and 64 bits
    unsigned long long object;
    ULONG owner;
    USHORT unique;
    UCHAR type, flags;
    unsigned long long user;
  };
  constexpr std::size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
  using GetPeb = void*(WINAPI*)();
  const auto getPeb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
  auto* peb = static_cast<char*>(getPeb());
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + kPebGdiTable);
  if (!table) return -1;
  int n = 0;
  for (int i = 0; i < 0x10000; ++i) n += table[i].type != 0;
  return n;
}

TEST_F(Geometry, AThousandFramesAndStepsHoldNoMoreGdiObjects) {
  auto w = character("XpekkoTestGeometryC");
  auto work = os.createSurface(kCellWidth, 64);
  auto sheet = os.loadPicture(Picture::rPic1);
  Module1 m;
  auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      w->setLeft(static_cast<float>(300 + i % 40) * tpp.twipsPerPixelX);  // a step now and then
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

}  // namespace
