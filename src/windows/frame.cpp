// Masked frame drawing. The window is collapsed first so that the capture
// sees what lies behind the character rather than his previous frame; the
// mask then erases the figure's area of the background (source AND NOT
// destination) and the image is XORed in, which leaves the background
// wherever mask and image are white.
#include "windows/frame.h"

#include "platform/twips.h"

using namespace platform;

void drawFrame(Platform& os, Module1& m, const FrameTarget& t, const std::int16_t& index) {
  const int h = t.cellHeight;

  const ScreenMetrics scr = os.screen();
  const float tx = scr.twipsPerPixelX;
  const float ty = scr.twipsPerPixelY;
  const float widthTwips = tx * 64.0f;
  const float heightTwips = ty * static_cast<float>(h);

  t.window.setWidth(0);
  t.window.setHeight(0);
  for (int pass = 1; pass <= 3; ++pass) os.doEvents();

  m.scrDC = os.GetDC(0);
  m.scrDCHeld = true;
  const int x = toPixels(t.window.left(), tx);
  const int y = toPixels(t.window.top(), ty);
  os.BitBlt(t.work.hDC(), 0, 0, kCellWidth, h, m.scrDC, x, y, SRCCOPY);

  t.window.setWidth(widthTwips);
  t.window.setHeight(heightTwips);

  // The source column is computed in 16 bits, as the frame index is.
  const std::int16_t column = static_cast<std::int16_t>(index * kCellWidth);
  os.BitBlt(t.work.hDC(), 0, 0, kCellWidth, h, t.sheet.hDC(), column, h, SRCERASE);
  os.BitBlt(t.work.hDC(), 0, 0, kCellWidth, h, t.sheet.hDC(), column, 0, SRCINVERT);

  os.BitBlt(t.window.hDC(), 0, 0, kCellWidth, h, t.work.hDC(), 0, 0, SRCCOPY);
  t.window.refresh();

  // Back into the topmost band, unless a character's message box is open:
  // then he stays below it.
  if (m.characterBoxesOpen == 0)
    os.SetWindowPos(t.window.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  os.ReleaseDC(0, m.scrDC);
  m.scrDCHeld = false;
}
