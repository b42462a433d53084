// What the Win32 layer keeps for the life of one Win32Platform, which owns
// it: the hidden helper window with the timers, the message pump, the
// surfaces and the guard of the screen captures. The objects the platform
// makes hold a reference to it and must not outlive it.
#pragma once

#include "platform/win32/capture_guard.h"
#include "platform/win32/dib_surface.h"
#include "platform/win32/host_window.h"
#include "platform/win32/message_pump.h"

namespace platform::win32 {

struct Session {
  HostWindow host;
  MessagePump pump;
  DibSurface::Registry surfaces;
  CaptureGuard captures{pump, surfaces};

  Session() {
    pump.setApplyHeld([](void* guard) { static_cast<CaptureGuard*>(guard)->applyHeldGeometry(); }, &captures);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
};

}  // namespace platform::win32
