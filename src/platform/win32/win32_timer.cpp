// Timers, and the rule that no tick runs inside another tick.
#include "platform/win32/win32_timer.h"

#include <map>

#include "platform/win32/host_window.h"

namespace platform::win32 {

namespace {

std::map<UINT_PTR, Win32Timer*>& registry() {
  static std::map<UINT_PTR, Win32Timer*> timers;
  return timers;
}

UINT_PTR gNextId = 1;

// Set while any tick handler runs. A tick falling due then (the handler
// yields for a frame or a companion step, or opens a message box) is dropped:
// the system keeps no backlog of WM_TIMER, so the next one comes a full
// interval later.
bool gInTick = false;

}  // namespace

Win32Timer::Win32Timer(int intervalMs, bool enabled) : id_(gNextId++), interval_(intervalMs), enabled_(enabled) {
  registry()[id_] = this;
  restart();
}

Win32Timer::~Win32Timer() {
  KillTimer(hostWindow(), id_);
  registry().erase(id_);
}

void Win32Timer::setInterval(int ms) {
  interval_ = ms;
  restart();
}

void Win32Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  restart();
}

// SetTimer on an existing id replaces it and counts the interval anew,
// which is exactly the restart that setting the interval or enabling means.
// An interval of 0 does not tick at all.
void Win32Timer::restart() {
  if (enabled_ && interval_ > 0)
    SetTimer(hostWindow(), id_, static_cast<UINT>(interval_), nullptr);
  else
    KillTimer(hostWindow(), id_);
}

void Win32Timer::deliver(UINT_PTR id) {
  if (gInTick) return;
  auto it = registry().find(id);
  if (it == registry().end()) return;
  Win32Timer* timer = it->second;
  if (!timer->enabled_ || !timer->onTick) return;
  gInTick = true;
  // A copy: the handler may replace its own onTick.
  auto handler = timer->onTick;
  callSafely(handler);
  gInTick = false;
}

}  // namespace platform::win32
