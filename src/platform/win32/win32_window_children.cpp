// A window's children and its mouse: mouse areas, menus, child controls,
// and the routing of mouse messages and control notifications to them.
#include "platform/win32/win32_window.h"

namespace platform::win32 {

namespace {

int buttonBits(WPARAM wParam) {
  return ((wParam & MK_LBUTTON) ? LeftButton : 0) | ((wParam & MK_RBUTTON) ? RightButton : 0) |
         ((wParam & MK_MBUTTON) ? MiddleButton : 0);
}

int shiftBits(WPARAM wParam) { return ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0); }

// Mouse coordinates are signed: left of or above the client area (with the
// capture held) they are negative.
POINT pointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Child control ids; menus number their commands from 1000 up, and
// IDOK and IDCANCEL stand for Enter and Esc.
constexpr UINT kFirstControlId = 100;

}  // namespace

// --- children -------------------------------------------------------------

// While a frame has a character's window out of the way, the tip control
// would find whatever lies behind him under a resting pointer, and give up
// showing the tip or hide it. To the control he stays where he was seen.
LRESULT CALLBACK Win32Window::toolTipsProc(HWND tips, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR owner) {
  const auto* window = reinterpret_cast<const Win32Window*>(owner);
  // Switched off, the control's timers do nothing: Wine's control shows a
  // tip whose wait began before it was deactivated.
  if (msg == WM_TIMER && !window->tipsOn_) return 0;
  if (msg == TTM_WINDOWFROMPOINT && lParam) {
    if (HWND hwnd = window->standInAt(*reinterpret_cast<const POINT*>(lParam)))
      return reinterpret_cast<LRESULT>(hwnd);
  }
  return DefSubclassProc(tips, msg, wParam, lParam);
}

void Win32Window::activateTips(bool on) {
  tipsOn_ = on;
  if (!toolTips_) return;
  SendMessageW(toolTips_, TTM_ACTIVATE, on, 0);
  if (on) return;
  SendMessageW(toolTips_, TTM_POP, 0, 0);
  // A move off every tool: the control forgets the tool it was showing or
  // about to show, and the next real move onto him starts the wait afresh.
  relayToToolTips(WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
}

HWND Win32Window::standInAt(POINT screen) const {
  if (!IsWindowVisible(hwnd_) || onScreen()) return nullptr;  // hidden, or there to be found
  const RECT seen{lastShownAt_.x, lastShownAt_.y, lastShownAt_.x + back_.width(),
                  lastShownAt_.y + back_.height()};
  return PtInRect(&seen, screen) ? hwnd_ : nullptr;
}

MouseArea& Win32Window::addMouseArea(int x, int y, int width, int height) {
  if (!toolTips_) {
    // TTS_ALWAYSTIP: the character windows are never active, and a plain
    // tooltip shows only over the active window.
    toolTips_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (toolTips_ && isCharacter())
      SetWindowSubclass(toolTips_, &Win32Window::toolTipsProc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  const RECT rect{x * s_, y * s_, (x + width) * s_, (y + height) * s_};
  areas_.push_back(
      std::make_unique<Win32MouseArea>(hwnd_, toolTips_, static_cast<UINT>(areas_.size() + 1), rect));
  return *areas_.back();
}

Menu& Win32Window::addMenu(const std::string& caption) {
  menus_.push_back(std::make_unique<Win32Menu>(hwnd_, caption));
  return *menus_.back();
}

// --- the mouse ------------------------------------------------------------

int Win32Window::areaAt(int x, int y) const {
  for (std::size_t i = 0; i < areas_.size(); ++i)
    if (areas_[i]->contains(x, y)) return static_cast<int>(i);
  return -1;
}

void Win32Window::mouseMoved(WPARAM wParam, LPARAM lParam) {
  const POINT client = pointOf(lParam);
  // The system reports a move after a button press even when the mouse did
  // not move, and when a window under a resting pointer moves or hides (the
  // tooltip popping on a press, under Wine with the position of an earlier
  // move); with the left button down such a move would start a drag and
  // swallow the click. Only a change of the pointer's own position, as the
  // message records it, counts. Only character windows are judged so.
  if (isCharacter() && !InSendMessage()) {
    const DWORD pos = GetMessagePos();
    const POINT pointer{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    if (haveLastMove_ && pointer.x == lastMove_.x && pointer.y == lastMove_.y) return;
    haveLastMove_ = true;
    lastMove_ = pointer;
  }
  relayToToolTips(WM_MOUSEMOVE, wParam, lParam);

  MouseEvent e;
  e.button = buttonBits(wParam);
  e.shift = shiftBits(wParam);
  // While the left button is held after a press on an area, the window has
  // the capture and that area hears every move, also one already past its
  // edge: a quick hand's first move may leave the cell before a drag begins.
  int area = areaAt(client.x, client.y);
  if (pressedArea_ >= 0 && (wParam & MK_LBUTTON) && pressedArea_ < static_cast<int>(areas_.size()))
    area = pressedArea_;
  if (area >= 0) {
    const RECT& r = areas_[static_cast<std::size_t>(area)]->rect();
    e.x = twips(client.x - r.left, tppX_);
    e.y = twips(client.y - r.top, tppY_);
    auto handler = areas_[static_cast<std::size_t>(area)]->onMouseMove;
    callSafely(handler, e);
    return;
  }
  e.x = twips(client.x, tppX_);
  e.y = twips(client.y, tppY_);
  auto handler = onMouseMove;
  callSafely(handler, e);
}

void Win32Window::trayCallback(WPARAM wParam, LPARAM lParam) {
  MouseEvent e;
  e.button = buttonBits(wParam);
  e.shift = shiftBits(wParam);
  e.x = static_cast<float>(LOWORD(lParam)) * tppX_;
  auto handler = onMouseMove;
  callSafely(handler, e);
}

// The tooltips see only the moves that count (above) and the buttons. Were
// they to watch the window themselves, each frame under a resting pointer
// would count as a move: it would put off showing the tip again and again,
// and keep a shown tip from ever timing out.
void Win32Window::relayToToolTips(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!toolTips_) return;
  MSG m{};
  m.hwnd = hwnd_;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(GetMessageTime());
  const DWORD pos = GetMessagePos();
  m.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  SendMessageW(toolTips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void Win32Window::leftPressed(LPARAM lParam) {
  const POINT p = pointOf(lParam);
  RECT r{};
  const DWORD pos = GetMessagePos();
  pressed_ = GetWindowRect(hwnd_, &r) != 0;
  grab_ = {static_cast<short>(LOWORD(pos)) - r.left, static_cast<short>(HIWORD(pos)) - r.top};
  const int area = areaAt(p.x, p.y);
  if (area < 0) return;
  // The capture lets the release be seen even off the window, so that a
  // press inside and release outside is no click.
  SetCapture(hwnd_);
  pressedArea_ = area;
}

void Win32Window::leftReleased(LPARAM lParam) {
  const int area = pressedArea_;
  pressedArea_ = -1;
  pressed_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
  const POINT p = pointOf(lParam);
  if (area < 0 || area >= static_cast<int>(areas_.size()) ||
      !areas_[static_cast<std::size_t>(area)]->contains(p.x, p.y))
    return;
  auto handler = areas_[static_cast<std::size_t>(area)]->onClick;
  callSafely(handler);
}

// --- child controls -------------------------------------------------------

Control& Win32Window::addControl(ControlKind kind, int x, int y, int width, int height,
                                 const std::string& text) {
  if (!font_) font_ = createDialogFont();
  const UINT id = kFirstControlId + static_cast<UINT>(controls_.size());
  const RECT rect{x * s_, y * s_, (x + width) * s_, (y + height) * s_};
  if (kind == ControlKind::Label)
    controls_.push_back(std::make_unique<Win32Label>(hwnd_, id, rect, font_, text));
  else if (kind == ControlKind::TextBox)
    controls_.push_back(std::make_unique<Win32TextBox>(hwnd_, id, rect, font_, text));
  else
    controls_.push_back(std::make_unique<Win32Button>(hwnd_, id, rect, font_, text));
  return controls_.back()->control();
}

Win32Button* Win32Window::button(bool (Button::*role)() const) const {
  for (const auto& c : controls_)
    if (auto* b = dynamic_cast<Win32Button*>(c.get()); b && (b->*role)()) return b;
  return nullptr;
}

void Win32Window::command(WPARAM wParam, LPARAM lParam) {
  const HWND from = reinterpret_cast<HWND>(lParam);
  // The dialog manager's Esc: IDCANCEL, from no control of ours.
  if (LOWORD(wParam) == IDCANCEL && !from) {
    if (Win32Button* cancel = button(&Button::isCancel))
      cancel->press();
    else
      callSafely(onCancel);
    return;
  }
  for (const auto& c : controls_)
    if (c->hwnd() == from) {
      c->notified(HIWORD(wParam));
      return;
    }
}

LRESULT Win32Window::defaultButtonId() const {
  // The dialog manager's Enter presses this button (when it is enabled).
  const Win32Button* def = button(&Button::isDefault);
  return def ? MAKELRESULT(def->id(), DC_HASDEFID) : 0;
}

}  // namespace platform::win32
