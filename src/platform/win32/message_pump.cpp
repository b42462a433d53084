// Nested event processing for the window classes' yields.
#include "platform/win32/message_pump.h"

#include "platform/win32/win32.h"

#include <cmath>

namespace platform::win32 {

namespace {

// One pass handles at most this many messages, so that a window which keeps
// posting to itself cannot make a pass endless.
constexpr int kMaxMessagesPerPass = 512;

// How long an uncovered area takes to be repainted by another process under
// Wine (measured: 2-5 ms made every capture clean; at 0 ms most were stale).
constexpr double kSettleMs = 3.0;

double gLastUncovered = -1e9;

// Millisecond waits are only that accurate with a 1 ms system timer period;
// it is raised only while a wait is running so the idle program costs nothing.
class FineTimerPeriod {
 public:
  FineTimerPeriod() { timeBeginPeriod(1); }
  ~FineTimerPeriod() { timeEndPeriod(1); }
  FineTimerPeriod(const FineTimerPeriod&) = delete;
  FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;
};

DWORD waitMs(double ms) {
  if (ms <= 0) return 0;
  return static_cast<DWORD>(std::ceil(ms));
}

// The compositor's flush exists only on composited desktops of newer systems
// (and does nothing under Wine); it is looked up at run time so that the
// program still starts where dwmapi.dll is missing.
void flushCompositor() {
  using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
  using FlushFn = HRESULT(WINAPI*)();
  static bool looked = false;
  static IsEnabledFn isEnabled = nullptr;
  static FlushFn flush = nullptr;
  if (!looked) {
    looked = true;
    if (HMODULE dwm = LoadLibraryW(L"dwmapi.dll")) {
      isEnabled = reinterpret_cast<IsEnabledFn>(
          reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
      flush = reinterpret_cast<FlushFn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmFlush")));
    }
  }
  if (!isEnabled || !flush) return;
  BOOL enabled = FALSE;
  if (SUCCEEDED(isEnabled(&enabled)) && enabled) flush();
}

}  // namespace

double nowMs() {
  static const double msPerCount = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 / static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * msPerCount;
}

void pumpPending() {
  MSG msg;
  for (int i = 0; i < kMaxMessagesPerPass && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void pumpPaced(int passes, int totalMs) {
  if (passes <= 0) return;
  if (totalMs <= 0) {
    for (int i = 0; i < passes; ++i) pumpPending();
    return;
  }
  // The length of the step is what matters, not the count: a pass runs at
  // once and again on every wake, and the thread sleeps in between, so
  // messages are handled as they come and no core is burnt.
  FineTimerPeriod fine;
  const double deadline = nowMs() + totalMs;
  pumpPending();
  for (;;) {
    const double left = deadline - nowMs();
    if (left <= 0) break;
    MsgWaitForMultipleObjectsEx(0, nullptr, waitMs(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    pumpPending();
  }
}

void noteUncovered() { gLastUncovered = nowMs(); }

namespace {

// Only paints and sent messages: they are what a repaint needs from this
// process. Input and timer messages wait for the caller's next pass, so that
// no handler (a tick above all) runs in the middle of a screen capture.
void dispatchPaints() {
  MSG msg;
  for (int i = 0; i < kMaxMessagesPerPass &&
                  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
       ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessageW(&msg);
  }
}

void waitUntil(double deadline) {
  FineTimerPeriod fine;
  for (;;) {
    dispatchPaints();
    const double left = deadline - nowMs();
    if (left <= 0) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, waitMs(left), QS_PAINT | QS_SENDMESSAGE, 0);
  }
}

}  // namespace

void waitForRepaint(double ms) {
  waitUntil(nowMs() + ms);
  flushCompositor();
}

void settleBeforeScreenRead() {
  const double deadline = gLastUncovered + kSettleMs;
  if (deadline <= nowMs()) return;
  waitUntil(deadline);
  // On a composited desktop the uncovered area reaches the screen only with
  // the compositor's next frame. Waiting for it costs up to a refresh period,
  // so it is done only when a window was really just uncovered.
  flushCompositor();
}

}  // namespace platform::win32
