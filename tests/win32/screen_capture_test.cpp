// A drawing holds the screen's device context from GetDC to ReleaseDC, and
// the program keeps that context in one shared variable. No handler of the
// program may run in between: one that draws would take the variable over,
// and the outer drawing would release the wrong context and leak its own.
// Messages sent by other threads (the notification area's callback, other
// programs) are the way a handler could get in: any PeekMessage runs them.
#include "recording_platform.h"

#include "platform/win32/session.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "windows/frame.h"

namespace xpekko_test {
namespace {

using platform::win32::fromHandle;
using platform::win32::Win32Platform;

// Whether a message sent by another thread is waiting for this thread.
// GetQueueStatus only looks; it runs nothing.
bool sentMessageWaiting() { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }

// Waits (without retrieving messages) until another thread's message is queued.
bool awaitSentMessage() {
  for (int i = 0; i < 10000; ++i) {
    if (sentMessageWaiting()) return true;
    Sleep(1);
  }
  return false;
}

// A mouse move sent to a window from a thread of its own, as the
// notification area's callback reaches the program.
class Sender {
 public:
  explicit Sender(Handle hwnd, int count = 1)
      : thread_([this, hwnd, count] {
          for (int i = 0; i < count && !stop_; ++i)
            SendMessageW(fromHandle<HWND>(hwnd), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
          done_ = true;
        }) {}
  ~Sender() {
    // A test that failed early may leave a message undelivered: let it in
    // (PeekMessage runs sent messages) rather than wait for it for ever.
    stop_ = true;
    for (int i = 0; i < 5000 && !done_; ++i) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      Sleep(1);
    }
    if (thread_.joinable()) done_ ? thread_.join() : thread_.detach();
  }
  // Runs event passes until every message was handled.
  void finish(Platform& os) {
    for (int i = 0; i < 10000 && !done_; ++i) {
      os.doEvents();
      Sleep(1);
    }
    thread_.join();
  }
  bool done() const { return done_; }

 private:
  std::atomic<bool> stop_{false}, done_{false};
  std::thread thread_;
};

// Two character windows of the walking size, as the program has them, with
// their work surfaces and the walking sheet.
class ScreenCapture : public ::testing::Test {
 protected:
  struct Character {
    std::unique_ptr<Window> window;
    std::unique_ptr<Surface> work;
    FrameTarget target;
  };

  Character character(RecordingPlatform& os, const char* cls, int xPixels) {
    const ScreenMetrics scr = os.screen();
    WindowDesign d;
    d.className = cls;
    d.width = 64 * scr.twipsPerPixelX;
    d.height = 64 * scr.twipsPerPixelY;
    auto window = os.createWindow(d);
    window->setLeft(static_cast<float>(xPixels) * scr.twipsPerPixelX);
    window->setTop(200 * scr.twipsPerPixelY);
    window->show();
    auto work = os.createSurface(kCellWidth, 64);
    FrameTarget t{*window, *work, *sheet, 64};
    return {std::move(window), std::move(work), t};
  }

  Win32Platform real;
  RecordingPlatform os{real};
  Module1 m;
  std::unique_ptr<Surface> sheet = os.loadPicture(Picture::rPic1);
};

TEST_F(ScreenCapture, MessageSentDuringADrawingRunsAfterItsRelease) {
  Character pekko = character(os, "XpekkoTestCaptureA", 300);
  pekko.window->onMouseMove = [&](const MouseEvent&) { os.events.push_back("handler"); };
  os.doEvents();

  // The message arrives after the drawing's event passes, as the drawing
  // takes the screen; a window was uncovered just then, so the capture has
  // to wait for the screen to settle.
  std::unique_ptr<Sender> sender;
  os.beforeScreenDC = [&] {
    sender = std::make_unique<Sender>(pekko.window->hWnd());
    ASSERT_TRUE(awaitSentMessage());
    real.session().pump.noteUncovered();
  };
  drawFrame(os, m, pekko.target, 0);
  os.beforeScreenDC = nullptr;
  sender->finish(os);

  EXPECT_EQ(os.events, (std::vector<std::string>{"GetDC", "ReleaseDC", "handler"}));
  EXPECT_EQ(real.screenDCsHeld(), 0u);
}

TEST_F(ScreenCapture, ScreenContextsStayBalancedWhileMessagesArrive) {
  Character pekko = character(os, "XpekkoTestCaptureB", 300);
  Character rion = character(os, "XpekkoTestCaptureC", 380);
  // The handler draws, as the program's handlers may.
  int handled = 0;
  pekko.window->onMouseMove = [&](const MouseEvent&) {
    ++handled;
    drawFrame(os, m, rion.target, static_cast<std::int16_t>(handled % 4));
  };
  os.doEvents();

  // Every third drawing is caught by a message just as it takes the screen;
  // the others meet the sender's messages wherever they come.
  constexpr int kFrames = 60;
  int frame = 0;
  std::unique_ptr<Sender> caught;
  os.beforeScreenDC = [&] {
    if (frame % 3 != 0 || (caught && !caught->done())) return;
    caught = std::make_unique<Sender>(pekko.window->hWnd());
    if (awaitSentMessage()) real.session().pump.noteUncovered();
  };
  Sender stream(pekko.window->hWnd(), kFrames);
  for (; frame < kFrames; ++frame) drawFrame(os, m, pekko.target, static_cast<std::int16_t>(frame % 4));
  os.beforeScreenDC = nullptr;
  stream.finish(os);
  if (caught) caught->finish(os);

  EXPECT_GT(handled, 0);
  EXPECT_EQ(os.held(), 0);
  EXPECT_EQ(os.foreignReleases, 0);
  EXPECT_EQ(real.screenDCsHeld(), 0u);
  EXPECT_FALSE(m.scrDCHeld);
}

}  // namespace
}  // namespace xpekko_test
