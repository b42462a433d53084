// Copies from the screen. The screen's device contexts handed out are
// tracked, and a copy from one of them is guarded: it waits for an area a
// character window just uncovered to be repainted, and is taken again while
// it still shows the last frame of a character window that is no longer on
// the screen.
#pragma once

#include <vector>

#include "platform/win32/dib_surface.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class MessagePump;
class Win32Window;

class CaptureGuard {
 public:
  CaptureGuard(MessagePump& pump, const DibSurface::Registry& surfaces) : pump_(pump), surfaces_(surfaces) {}
  CaptureGuard(const CaptureGuard&) = delete;
  CaptureGuard& operator=(const CaptureGuard&) = delete;

  // GetDC(0) and ReleaseDC(0, ...) of the program.
  void screenTaken(HDC dc) { screenDCs_.push_back(dc); }
  void screenReleased(HDC dc);
  std::size_t screenDCsHeld() const { return screenDCs_.size(); }

  // The character windows whose last frames a capture must not show.
  void addCharacter(Win32Window& window) { characters_.push_back(&window); }
  void removeCharacter(const Win32Window& window);
  // The character window with this handle, or null.
  Win32Window* character(HWND hwnd) const;
  // Gives the system every character window's held place and size.
  void applyHeldGeometry() const;
  // Every character window's tips on or off.
  void activateTips(bool on);

  // BitBlt, guarded when the source is one of the screen contexts held.
  bool copy(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);

 private:
  bool isScreen(HDC dc) const;
  // Whether the screen block of w x h pixels at (sx, sy), as copied into
  // `capture` at (x, y), is the last frame of a character window that is
  // not on the screen now (collapsed or hidden): the area it uncovered has
  // not been repainted yet. Where a held move went with the collapse, that
  // frame lies where the window was, overlapping the block in part.
  bool isStale(const DibSurface& capture, int x, int y, int w, int h, int sx, int sy) const;

  MessagePump& pump_;
  const DibSurface::Registry& surfaces_;
  std::vector<HDC> screenDCs_;
  std::vector<Win32Window*> characters_;
};

}  // namespace platform::win32
