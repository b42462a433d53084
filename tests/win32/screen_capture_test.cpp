// A drawing holds the screen's device context from GetDC to ReleaseDC, and
// the program keeps that context in one shared variable. No handler of the
// program may run in between: one that draws would take the variable over,
// and the outer drawing would release the wrong context and leak its own.
// Messages sent by other threads (the notification area's callback, other
// programs) are the way in: any PeekMessage runs them, so the wait for the
// screen to settle before a capture must not peek.
#include "platform/win32/session.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace platform;
using platform::win32::fromHandle;

TEST(ScreenCapture, AMessageSentWhileTheScreenIsHeldRunsAfterItsRelease) {
  win32::Win32Platform os;
  const ScreenMetrics tpp = os.screen();
  auto w = os.createWindow({"XpekkoTestCapture", "", WindowKind::Character, 64 * tpp.twipsPerPixelX,
                            64 * tpp.twipsPerPixelY, false});
  w->show();
  std::size_t heldWhenHandled = 99;
  w->onMouseMove = [&](const MouseEvent&) { heldWhenHandled = os.screenDCsHeld(); }, os.doEvents();
  auto capture = os.createSurface(64, 64);
  for (int round = 0; round < 3; ++round) {
    heldWhenHandled = 99;
    const Handle screen = os.GetDC(0);
    // A window was just uncovered, so the capture waits for the screen to
    // settle; the message is already waiting for this thread by then.
    os.session().pump.noteUncovered();
    std::atomic<bool> sent{false};
    std::thread sender([&] {
      SendMessageW(fromHandle<HWND>(w->hWnd()), WM_MOUSEMOVE, 0, MAKELPARAM(5 + round, 5)), sent = true;
    });
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) Sleep(1);
    os.BitBlt(capture->hDC(), 0, 0, 64, 64, screen, 100, 100, SRCCOPY);
    EXPECT_EQ(heldWhenHandled, 99u) << "a handler ran while the screen was held";
    os.ReleaseDC(0, screen);
    for (int i = 0; i < 5000 && !sent; ++i) os.doEventsPaced(1, 1);
    sender.join();
    EXPECT_EQ(heldWhenHandled, 0u) << "the message did not run after the release";
  }
  EXPECT_EQ(os.screenDCsHeld(), 0u);
}

}  // namespace
