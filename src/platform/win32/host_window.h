// The program's hidden helper window: it receives the timers' messages and
// owns the character windows (an owned window gets no taskbar button, also
// under Wine, where the extended styles alone do not remove it).
#pragma once

#include <map>

#include "platform/win32/win32.h"

namespace platform::win32 {

class Win32Timer;

class HostWindow {
 public:
  HostWindow();  // never shown
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

  // The timers whose WM_TIMER come here, by their ids.
  UINT_PTR addTimer(Win32Timer& timer);
  void removeTimer(UINT_PTR id);

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void deliver(UINT_PTR id);

  HWND hwnd_ = nullptr;
  std::map<UINT_PTR, Win32Timer*> timers_;
  UINT_PTR nextId_ = 1;
  // Set while any tick handler runs. A tick falling due then (the handler
  // yields for a frame or a companion step, or opens a message box) is
  // dropped: the system keeps no backlog of WM_TIMER, so the next one comes
  // a full interval later.
  bool inTick_ = false;
};

}  // namespace platform::win32
