// Event processing: the one place where a message of this thread is
// dispatched, whichever loop retrieved it; nested passes for the window
// classes' yields; and the short settling wait before the screen is read.
#pragma once

#include <vector>

#include "platform/win32/win32.h"

namespace platform::win32 {

// Milliseconds from a high-resolution clock (fractions included).
double nowMs();

class MessagePump {
 public:
  MessagePump();
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  // Every message any loop of the layer retrieves goes here. A shown
  // dialog's own keys go to the dialog manager: Tab moves between its
  // controls, Enter presses its default button, Esc its cancel button.
  void dispatch(MSG& msg);

  // The program's main loop: sleeps until there is something to do and
  // dispatches it, until WM_QUIT; returns its exit code.
  int run();

  // Dialog windows whose keys dispatch() hands to the dialog manager.
  void addDialog(HWND dialog);
  void removeDialog(HWND dialog);

  // Dispatches the messages pending now and returns.
  void pumpPending();

  // What the windows hold back from the system until it can be seen (see
  // Win32Window::applyGeometry): given before every pass, every wait of the
  // main loop and every loop of the layer's own.
  void setApplyHeld(void (*apply)(void*), void* context) {
    applyHeld_ = apply;
    applyContext_ = context;
  }
  void applyHeld() const {
    if (applyHeld_) applyHeld_(applyContext_);
  }

  // One pass of the program's event processing: pumpPending, after waiting
  // out (while dispatching) what is left of the settling time of a window
  // just uncovered. A drawing runs its passes between taking its window
  // away and reading the screen, so the read then finds the screen settled.
  void pumpSettled();

  // `passes` passes spread over `totalMs` of real time.
  void pumpPaced(int passes, int totalMs);

  // A character window was just collapsed, resized, moved or hidden: what
  // it uncovered is being repainted by whoever owns it, possibly another
  // process.
  void noteUncovered() { lastUncovered_ = nowMs(); }

  // The waits of a screen capture. A capture runs while a drawing holds the
  // screen's device context, where no handler of the program may run: these
  // dispatch no message at all (no PeekMessage, which would also run
  // messages sent by other threads); they only repaint this thread's own
  // windows.

  // Waits this long.
  void waitForRepaint(double ms);

  // Waits until the last uncovering is old enough for the screen to show
  // what lies beneath (normally the drawing's event passes have waited
  // already).
  void settleBeforeScreenRead();

 private:
  // Sleeps until a message arrives or `ms` have passed.
  static void waitForMessage(double ms);
  static void waitWithoutDispatching(double deadline);
  void flushCompositor() const;

  std::vector<HWND> dialogs_;
  double lastUncovered_ = -1e9;
  void (*applyHeld_)(void*) = nullptr;
  void* applyContext_ = nullptr;
  // The compositor's entry points, where there is one.
  using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
  using FlushFn = HRESULT(WINAPI*)();
  IsEnabledFn compositionEnabled_ = nullptr;
  FlushFn flush_ = nullptr;
};

}  // namespace platform::win32
