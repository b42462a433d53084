// The window drag of the borderless character windows.
#pragma once

#include "platform/win32/win32.h"

namespace platform::win32 {

class MessagePump;

// Moves `hwnd` with the mouse until the left button is released, handling
// every other message meanwhile (timer frames keep coming), so that the
// pointer stays on the pixel `grab` of the window (where the button went
// down; without one, where the pointer is now). The window is never
// activated, which DefWindowProc's own loop cannot promise: under Wine its
// caption press activates the window before the loop starts.
void followMouseUntilRelease(HWND hwnd, MessagePump& pump, const POINT* grab);

}  // namespace platform::win32
