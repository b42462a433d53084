// The program's hidden helper window: it receives the timers' messages and
// owns the character windows (an owned window gets no taskbar button, also
// under Wine, where the extended styles alone do not remove it).
#pragma once

#include "platform/win32/win32.h"

namespace platform::win32 {

// Created on first use; never shown.
HWND hostWindow();

}  // namespace platform::win32
