// The one way this layer includes the system headers, and the casts between
// the interface's handles and the system's handle types.
#pragma once

// The interface first: it names constants and calls after their Win32
// counterparts, which the system headers define as macros. Included first,
// its declarations are seen before those macros exist; the values agree.
#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// These name the W or A function under UNICODE; the interface's members of
// the same names must stay as declared. This layer calls the W functions by
// their full names.
#undef SendMessage
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef Shell_NotifyIcon

#include <cstdint>

namespace platform::win32 {

// A Handle is as wide as a pointer on every target, so the round trip is exact.
static_assert(sizeof(void*) == sizeof(Handle), "a Handle must be as wide as a pointer");

template <typename H>
inline Handle toHandle(H h) {
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(h));
}

template <typename H>
inline H fromHandle(Handle h) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(h));
}

// The notification area's callback, when the program asks for it as a mouse
// move: its X is the mouse message, which must not be scaled as a position.
inline constexpr UINT kTrayCallback = WM_APP + 1;

// Runs a callback of the window classes from inside a window procedure:
// nothing the logic throws may unwind through the system's frames.
template <typename F, typename... Args>
inline void callSafely(const F& f, Args&&... args) noexcept {
  if (!f) return;
  try {
    f(static_cast<Args&&>(args)...);
  } catch (...) {
  }
}

}  // namespace platform::win32
