// Event processing for the main loop, the move loop and the window
// classes' yields.
#include "platform/win32/message_pump.h"

#include <algorithm>
#include <cmath>

namespace platform::win32 {

namespace {

// One pass handles at most this many messages, so that a window which keeps
// posting to itself cannot make a pass endless.
constexpr int kMaxMessagesPerPass = 512;

// How long an uncovered area takes to be repainted by another process under
// Wine (measured: 2-5 ms made every capture clean; at 0 ms most were stale).
constexpr double kSettleMs = 3.0;

// Millisecond waits are only that accurate with a 1 ms system timer period;
// it is raised only while a wait is running so the idle program costs nothing.
// The request goes straight to ntdll, which every process has loaded: the
// multimedia library's timeBeginPeriod would bring that library and, under
// Wine, the COM libraries it imports (over 2 MB resident) for one call.
using SetTimerResolutionFn = LONG(NTAPI*)(ULONG, BOOLEAN, ULONG*);

SetTimerResolutionFn setTimerResolution() {
  static const auto fn = reinterpret_cast<SetTimerResolutionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetTimerResolution")));
  return fn;
}

class FineTimerPeriod {
 public:
  FineTimerPeriod() { set(TRUE); }
  ~FineTimerPeriod() { set(FALSE); }
  FineTimerPeriod(const FineTimerPeriod&) = delete;
  FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;

 private:
  static void set(BOOLEAN on) {
    ULONG actual = 0;
    if (SetTimerResolutionFn fn = setTimerResolution()) fn(10000, on, &actual);  // 100 ns units
  }
};

DWORD waitMs(double ms) {
  if (ms <= 0) return 0;
  return static_cast<DWORD>(std::ceil(ms));
}

BOOL CALLBACK repaintWindow(HWND hwnd, LPARAM) {
  UpdateWindow(hwnd);
  return TRUE;
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

MessagePump::MessagePump() {
  // The compositor's flush exists only on composited desktops of newer
  // systems (and does nothing under Wine); it is looked up at run time so
  // that the program still starts where dwmapi.dll is missing.
  if (HMODULE dwm = LoadLibraryW(L"dwmapi.dll")) {
    compositionEnabled_ = reinterpret_cast<IsEnabledFn>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    flush_ = reinterpret_cast<FlushFn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmFlush")));
  }
}

// --- dispatching ----------------------------------------------------------

void MessagePump::dispatch(MSG& msg) {
  // A copy: a handler run from here may add or remove a dialog. The dialog
  // manager dispatches what it takes, and takes nothing of other windows.
  const std::vector<HWND> dialogs = dialogs_;
  for (HWND dialog : dialogs)
    if (IsWindowVisible(dialog) && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int MessagePump::run() {
  MSG msg{};
  for (;;) {
    applyHeld();
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    dispatch(msg);
  }
  return static_cast<int>(msg.wParam);
}

void MessagePump::addDialog(HWND dialog) { dialogs_.push_back(dialog); }

void MessagePump::removeDialog(HWND dialog) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

// --- passes ---------------------------------------------------------------

void MessagePump::pumpPending() {
  applyHeld();
  MSG msg;
  for (int i = 0; i < kMaxMessagesPerPass && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    dispatch(msg);
  }
}

void MessagePump::waitForMessage(double ms) {
  MsgWaitForMultipleObjectsEx(0, nullptr, waitMs(ms), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void MessagePump::pumpPaced(int passes, int totalMs) {
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
    waitForMessage(left);
    pumpPending();
  }
}

void MessagePump::pumpSettled() {
  const double deadline = lastUncovered_ + kSettleMs;
  if (deadline > nowMs()) {
    // A window was uncovered moments ago and a drawing is likely to read the
    // screen there next. The wait is spent here, in a pass that may run
    // handlers, so that the read itself has nothing left to wait for.
    FineTimerPeriod fine;
    for (;;) {
      pumpPending();
      const double left = deadline - nowMs();
      if (left <= 0) break;
      waitForMessage(left);
    }
    flushCompositor();
  }
  pumpPending();
}

// --- the waits of a screen capture ----------------------------------------

void MessagePump::flushCompositor() const {
  if (!compositionEnabled_ || !flush_) return;
  BOOL enabled = FALSE;
  if (SUCCEEDED(compositionEnabled_(&enabled)) && enabled) flush_();
}

// Waits without retrieving a single message: PeekMessage and GetMessage,
// whatever their filter, also run the messages other threads and processes
// send to this one, and those reach the program's handlers. What lies under
// a character window may be a window of this thread, though; those are
// repainted directly from their back images (UpdateWindow sends WM_PAINT
// straight to the window procedure, nothing else).
void MessagePump::waitWithoutDispatching(double deadline) {
  FineTimerPeriod fine;
  for (;;) {
    EnumThreadWindows(GetCurrentThreadId(), repaintWindow, 0);
    const double left = deadline - nowMs();
    if (left <= 0) return;
    Sleep(std::min<DWORD>(waitMs(left), 1));
  }
}

void MessagePump::waitForRepaint(double ms) {
  waitWithoutDispatching(nowMs() + ms);
  flushCompositor();
}

void MessagePump::settleBeforeScreenRead() {
  const double deadline = lastUncovered_ + kSettleMs;
  if (deadline <= nowMs()) return;
  waitWithoutDispatching(deadline);
  // On a composited desktop the uncovered area reaches the screen only with
  // the compositor's next frame. Waiting for it costs up to a refresh period,
  // so it is done only when a window was really just uncovered.
  flushCompositor();
}

}  // namespace platform::win32
