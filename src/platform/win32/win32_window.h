// A top-level window with a persistent back image, mouse areas and menus.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/dib_surface.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_menu.h"
#include "platform/win32/win32_mouse_area.h"

namespace platform::win32 {

struct Session;

class Win32Window final : public Window {
 public:
  Win32Window(Session& session, const WindowDesign& design);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  float left() const override;
  float top() const override;
  float width() const override;
  float height() const override;
  void setLeft(float twips) override;
  void setTop(float twips) override;
  void setWidth(float twips) override;
  void setHeight(float twips) override;

  void show() override;
  void hide() override;
  bool visible() const override;

  Handle hWnd() const override { return toHandle(hwnd_); }
  Handle hDC() const override;
  void refresh() override;
  Handle icon() const override { return toHandle(smallIcon_); }

  MouseArea& addMouseArea(int x, int y, int width, int height) override;
  Menu& addMenu(const std::string& caption) override;

  HWND nativeHandle() const { return hwnd_; }
  // Shown and not collapsed to nothing, as the system has it now.
  bool onScreen() const;

  // A character window's moves and sizes are held until they can be seen:
  // each window change is a round trip to the window system, and a frame
  // makes several in a row. This gives the system the place and size last
  // set, with `insertAfter` as the band when `flags` lacks SWP_NOZORDER, in
  // one call; a window that grows back from nothing is then presented from
  // its back image at once. Returns false, doing nothing, when nothing was
  // held.
  bool applyGeometry(HWND insertAfter = nullptr, UINT flags = SWP_NOZORDER);
  // Switches a character window's tips on or off; off also takes a shown
  // tip away and keeps one that was about to show from showing.
  void activateTips(bool on);
  const DibSurface& backImage() const { return back_; }
  // Where the window last was while on the screen, as far as a held change
  // took it away from there: a move and a collapse given together leave its
  // last frame there, not where the window is now.
  POINT lastShownAt() const { return lastShownAt_; }
  // This window, when a frame has it out of the way and `screen` lies where
  // it was last seen; otherwise nothing.
  HWND standInAt(POINT screen) const;

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

  bool isCharacter() const { return kind_ == WindowKind::Character; }
  DWORD style() const;
  DWORD exStyle() const;
  // The outer size that gives this client size.
  SIZE outerSize(int clientWidth, int clientHeight) const;
  void applySize();
  // The move setLeft and setTop make; a coordinate not given stays.
  void moveTo(std::optional<float> leftTw, std::optional<float> topTw);
  // Whether a size set differs from the one the system has (two sizes that
  // are both nothing do not).
  bool sizeHeld() const;
  void present();
  void relayToToolTips(UINT msg, WPARAM wParam, LPARAM lParam) const;
  static LRESULT CALLBACK toolTipsProc(HWND tips, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR owner);
  // The window's place and client size as the system has them (on failure,
  // as last given), and a position or size in twips from them.
  RECT placeNow() const;
  RECT clientNow() const;
  float readBack(LONG pixels, int given, float twips, float tpp) const;
  // Twips as the screen's pixels (whole pixels of the program, each s of
  // the screen's), and back.
  int screenPixels(float twips, float tpp) const;
  float twips(LONG screenPixels, float tpp) const;
  void paint();
  void mouseMoved(WPARAM wParam, LPARAM lParam);
  // The icon's mouse message as a move whose X, in the program's pixels, is
  // the message.
  void trayCallback(WPARAM wParam, LPARAM lParam);
  void leftPressed(LPARAM lParam);
  void leftReleased(LPARAM lParam);
  int areaAt(int x, int y) const;
  Control& addControl(ControlKind kind, int x, int y, int width, int height,
                      const std::string& text) override;
  // The first button of a role (isDefault, isCancel), or null.
  Win32Button* button(bool (Button::*role)() const) const;
  void command(WPARAM wParam, LPARAM lParam);
  LRESULT defaultButtonId() const;
  // Keeps the focused control across a deactivation, as dialogs do.
  bool activated(WPARAM wParam);

  Session& session_;
  HWND hwnd_ = nullptr;
  WindowKind kind_;
  int s_;  // screen pixels to a pixel of the program
  float tppX_;
  float tppY_;

  // The twips last set and the screen pixels they gave: as long as the
  // window is where they put it, the twips read back exactly as set.
  float leftTw_ = 0, topTw_ = 0, widthTw_ = 0, heightTw_ = 0;
  int leftPx_ = 0, topPx_ = 0, widthPx_ = 0, heightPx_ = 0;
  // The client size last given to the system (it can lag behind the size
  // set while the window is empty, see applySize).
  int appliedWidth_ = 0, appliedHeight_ = 0;
  bool moveHeld_ = false;  // leftPx_, topPx_ not given to the system yet
  POINT lastShownAt_{};

  // A character window's back image is as large as its client area was last
  // set (only a cell after the first frame), made when it is drawn into.
  mutable DibSurface back_;
  std::uint32_t backFill_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND toolTips_ = nullptr;
  bool tipsOn_ = true;
  std::vector<std::unique_ptr<Win32MouseArea>> areas_;
  std::vector<std::unique_ptr<Win32Menu>> menus_;
  HFONT font_ = nullptr;  // the controls' font, made with the first control
  std::vector<std::unique_ptr<Win32Control>> controls_;
  HWND focusedControl_ = nullptr;  // the control that had the focus when the window was deactivated

  int pressedArea_ = -1;  // the area the left button went down on, until release
  // Where the pointer was on the window when the left button went down: a
  // drag keeps the pointer on that pixel, however late its loop starts.
  bool pressed_ = false;
  POINT grab_{};
  bool haveLastMove_ = false;
  POINT lastMove_{};  // pointer position of the last mouse move reported
};

}  // namespace platform::win32
