// Top-level windows: geometry in twips, the back image, and the mouse.
#include "platform/win32/win32_window.h"

#include <algorithm>

#include "platform/twips.h"
#include "platform/win32/display.h"
#include "platform/win32/move_loop.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/session.h"
#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

UINT taskbarCreatedMessage() {
  static const UINT msg = RegisterWindowMessageW(L"TaskbarCreated");
  return msg;
}

std::uint32_t backFillFor(WindowKind kind) {
  if (kind == WindowKind::Character) return 0x00FFFFFF;
  // The dialog's face; GetSysColor gives 0x00BBGGRR, the DIB holds 0x00RRGGBB.
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

}  // namespace

Win32Window::Win32Window(Session& session, const WindowDesign& design)
    : session_(session),
      kind_(design.kind),
      s_(pixelScale()),
      tppX_(twipsPerPixelX()),
      tppY_(twipsPerPixelY()),
      back_(design.kind == WindowKind::Character ? 1 : std::max(1, screenPixels(design.width, tppX_)),
            design.kind == WindowKind::Character ? 1 : std::max(1, screenPixels(design.height, tppY_)),
            backFillFor(design.kind), &session.surfaces),
      backFill_(backFillFor(design.kind)) {
  widthTw_ = design.width;
  heightTw_ = design.height;
  widthPx_ = std::max(0, screenPixels(design.width, tppX_));
  heightPx_ = std::max(0, screenPixels(design.height, tppY_));

  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (design.hasIcon) {
    bigIcon_ = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(XPEKKO_ICON), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ =
        static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(XPEKKO_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }

  // One class per window: the class name is how others find the window.
  const std::wstring cls = widen(design.className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(inst, cls.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hIcon = bigIcon_;
    wc.hIconSm = smallIcon_;
    wc.lpszClassName = cls.c_str();
    RegisterClassExW(&wc);
  }

  appliedWidth_ = widthPx_;
  appliedHeight_ = heightPx_;
  const SIZE outer = outerSize(widthPx_, heightPx_);
  if (!isCharacter()) {
    // A dialog first appears in the middle of the screen.
    leftPx_ = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    topPx_ = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
  }
  leftTw_ = twips(leftPx_, tppX_);
  topTw_ = twips(topPx_, tppY_);

  // Character windows are owned by the hidden helper window: that is what
  // keeps them out of the taskbar everywhere.
  HWND owner = isCharacter() ? session_.host.hwnd() : nullptr;
  CreateWindowExW(exStyle(), cls.c_str(), widen(design.title).c_str(), style(), leftPx_, topPx_, outer.cx,
                  outer.cy, owner, nullptr, inst, this);
  if (isCharacter())
    session_.captures.addCharacter(*this);
  else
    session_.pump.addDialog(hwnd_);
  if (hwnd_ && bigIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (hwnd_ && smallIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

Win32Window::~Win32Window() {
  if (isCharacter())
    session_.captures.removeCharacter(*this);
  else
    session_.pump.removeDialog(hwnd_);
  areas_.clear();
  menus_.clear();
  controls_.clear();
  if (font_) DeleteObject(font_);
  if (toolTips_) {
    RemoveWindowSubclass(toolTips_, &Win32Window::toolTipsProc, 0);
    DestroyWindow(toolTips_);
  }
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

DWORD Win32Window::style() const {
  if (isCharacter()) return WS_POPUP | WS_CLIPSIBLINGS;
  // A caption brings the thin border; no system menu means no close,
  // minimise or maximise box, and no thick frame means a fixed size. Its
  // painting from the back image leaves the child controls alone.
  return WS_OVERLAPPED | WS_CAPTION | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

DWORD Win32Window::exStyle() const {
  if (isCharacter()) return WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  return 0;
}

SIZE Win32Window::outerSize(int clientWidth, int clientHeight) const {
  if (isCharacter()) return {clientWidth, clientHeight};
  RECT rc{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rc, style(), FALSE, exStyle());
  return {rc.right - rc.left, rc.bottom - rc.top};
}

// --- drawing --------------------------------------------------------------

Handle Win32Window::hDC() const {
  // Drawing needs the back image at the size the client area was set to.
  if (isCharacter() && widthPx_ > 0 && heightPx_ > 0) back_.resizeTo(widthPx_, heightPx_, backFill_);
  return back_.hDC();
}

void Win32Window::refresh() {
  if (!IsWindowVisible(hwnd_)) return;  // it paints from the back image when shown
  // A window growing back from nothing is presented as it is given its
  // size, which waits for the next call that changes the window (a frame's
  // change of band) or the next point where it shows.
  if (sizeHeld() && (appliedWidth_ == 0 || appliedHeight_ == 0)) return;
  applyGeometry();
  present();
}

void Win32Window::present() {
  RECT r{};
  GetClientRect(hwnd_, &r);
  if (HDC dc = GetDC(hwnd_)) {
    BitBlt(dc, 0, 0, r.right, r.bottom, back_.dc(), 0, 0, SRCCOPY);
    ReleaseDC(hwnd_, dc);
  }
  GdiFlush();
}

void Win32Window::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (dc) {
    const RECT& p = ps.rcPaint;
    BitBlt(dc, p.left, p.top, p.right - p.left, p.bottom - p.top, back_.dc(), p.left, p.top, SRCCOPY);
    // Beyond a character's back image (a window shown before it is first
    // drawn) lies the image's fill.
    const int w = back_.width(), h = back_.height();
    if (p.right > w || p.bottom > h) {
      const COLORREF c = RGB((backFill_ >> 16) & 0xFF, (backFill_ >> 8) & 0xFF, backFill_ & 0xFF);
      HBRUSH brush = CreateSolidBrush(c);
      const RECT right{std::max<LONG>(p.left, w), p.top, p.right, p.bottom};
      const RECT below{p.left, std::max<LONG>(p.top, h), std::min<LONG>(p.right, w), p.bottom};
      if (right.left < right.right && right.top < right.bottom) FillRect(dc, &right, brush);
      if (below.left < below.right && below.top < below.bottom) FillRect(dc, &below, brush);
      DeleteObject(brush);
    }
  }
  EndPaint(hwnd_, &ps);
}

bool Win32Window::onScreen() const {
  return IsWindowVisible(hwnd_) && appliedWidth_ != 0 && appliedHeight_ != 0;
}

// --- the window procedure -------------------------------------------------

bool Win32Window::activated(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    focusedControl_ = focus && IsChild(hwnd_, focus) ? focus : nullptr;
    return false;
  }
  if (!focusedControl_ || !IsWindow(focusedControl_) || !IsWindowEnabled(focusedControl_)) return false;
  SetFocus(focusedControl_);
  return true;
}

LRESULT CALLBACK Win32Window::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Win32Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->handle(msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT Win32Window::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == taskbarCreatedMessage() && msg != 0) {
    auto handler = onNotificationAreaCreated;
    callSafely(handler);
    return 0;
  }
  switch (msg) {
    case WM_MOUSEACTIVATE:
      if (isCharacter()) return MA_NOACTIVATE;
      break;
    case WM_NCLBUTTONDOWN:
      if (isCharacter() && wParam == HTCAPTION) {
        pressedArea_ = -1;  // a drag is never a click
        if (toolTips_) SendMessageW(toolTips_, TTM_POP, 0, 0);
        followMouseUntilRelease(hwnd_, session_.pump, pressed_ ? &grab_ : nullptr);
        pressed_ = false;
        return 0;
      }
      break;
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the back image covers everything; erasing would only flicker
    case WM_MOUSEMOVE: mouseMoved(wParam, lParam); return 0;
    case kTrayCallback: trayCallback(wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
      relayToToolTips(msg, wParam, lParam);
      leftPressed(lParam);
      return 0;
    case WM_LBUTTONUP:
      relayToToolTips(msg, wParam, lParam);
      leftReleased(lParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: relayToToolTips(msg, wParam, lParam); break;
    case WM_CAPTURECHANGED:
      pressedArea_ = -1;  // the logic's ReleaseCapture before a drag ends up here
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (isCharacter()) {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        constexpr UINT still = SWP_NOSIZE | SWP_NOMOVE;
        if ((wp->flags & still) != still || (wp->flags & SWP_HIDEWINDOW)) session_.pump.noteUncovered();
      }
      break;
    case WM_COMMAND: command(wParam, lParam); return 0;
    case WM_DISPLAYCHANGE: {
      auto handler = onDisplayChange;
      callSafely(handler);
      break;
    }
    case DM_GETDEFID: return defaultButtonId();
    case WM_ACTIVATE:
      if (activated(wParam)) return 0;
      break;
    case WM_CLOSE: return 0;  // windows live until the program ends
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace platform::win32
