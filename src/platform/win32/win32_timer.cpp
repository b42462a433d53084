// Timers: a system timer of the helper window each.
#include "platform/win32/win32_timer.h"

#include "platform/win32/host_window.h"

namespace platform::win32 {

Win32Timer::Win32Timer(HostWindow& host, int intervalMs, bool enabled)
    : Timer(intervalMs, enabled), host_(host), id_(host.addTimer(*this)) {
  restart();
}

Win32Timer::~Win32Timer() { host_.removeTimer(id_); }

// SetTimer on an existing id replaces it and counts the interval anew,
// which is exactly the restart that setting the interval or enabling means.
// An interval of 0 does not tick at all.
void Win32Timer::restart() {
  if (enabled() && interval() > 0)
    SetTimer(host_.hwnd(), id_, static_cast<UINT>(interval()), nullptr);
  else
    KillTimer(host_.hwnd(), id_);
}

}  // namespace platform::win32
