// The layer between the window classes and the windowing system.
//
// It speaks in the program's own terms: positions and sizes in twips as
// single-precision numbers, pointer-wide handles, UTF-8 texts, pixels only
// where a bitmap call takes them. Those are the program's pixels: on a dense
// display the real platform shows each as a block of s x s of its own. No platform header is included here; CMake links
// exactly one implementation: win32/ (the real desktop) or sim/ (a headless
// simulated desktop that the tests drive).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A window, device context or icon handle: as wide as a pointer, so 32 bits
// in the 32-bit program and 64 in its 64-bit twin.
using Handle = std::uintptr_t;

// Raster operations of BitBlt.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCERASE = 0x00440328;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;

// SetWindowPos.
inline constexpr Handle HWND_TOPMOST = static_cast<Handle>(-1);
inline constexpr Handle HWND_NOTOPMOST = static_cast<Handle>(-2);
inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;
inline constexpr std::uint32_t SWP_NOZORDER = 0x0004;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x0010;

// The window drag: a press on a title bar starts the system's move loop.
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr std::uint32_t HTCAPTION = 2;

// The mouse messages a notification-area icon reports: the two releases.
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;

// The notification area.
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// Message box styles and results.
inline constexpr int MB_OK = 0;
inline constexpr int IDOK = 1;

// Mouse button bits as mouse events report them.
inline constexpr int LeftButton = 1;
inline constexpr int RightButton = 2;
inline constexpr int MiddleButton = 4;

// Show modes for starting a program.
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;

// A top-down bitmap of 0x00RRGGBB pixels.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  Bitmap() = default;
  Bitmap(int w, int h, std::uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool operator==(const Bitmap&) const = default;
};

// The pictures built into the program.
enum class Picture { rPic1, rPic2, rPic3 };

struct ScreenMetrics {
  float width = 0;   // twips
  float height = 0;  // twips
  float twipsPerPixelX = 15;
  float twipsPerPixelY = 15;
};

// One monitor of the desktop, in twips of the screen's coordinates: left
// and top on it, right and bottom just past it. Every monitor has the
// system's one display scale.
struct Monitor {
  float left = 0, top = 0, right = 0, bottom = 0;
  bool primary = false;
};

struct DateTime {
  int year = 2000, month = 1, day = 1;
  int weekday = 7;  // Sunday = 1 ... Saturday = 7
  int hour = 0, minute = 0, second = 0;
};

// A mouse event on a window or a mouse area: button bits, shift bits and the
// position in twips relative to the receiver.
struct MouseEvent {
  int button = 0;
  int shift = 0;
  float x = 0;
  float y = 0;
};

// The notification-area record, first version, in its Unicode form.
struct NotifyIconData {
  std::uint32_t cbSize = 0;
  Handle hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  Handle hIcon = 0;
  std::u16string szTip;  // 64 characters as the record holds them
};
inline constexpr std::uint32_t NOTIFYICONDATAW_V1_SIZE = 152;
// The record's tip field, in characters.
inline constexpr std::size_t kTipLength = 64;

// The memory status: byte counts in 64 bits, so that they are whole on a
// machine with more than 4 GB.
struct MemoryStatusEx {
  std::uint64_t ullTotalPhys = 0;
  std::uint64_t ullAvailPhys = 0;
  std::uint64_t ullTotalPageFile = 0;
  std::uint64_t ullAvailPageFile = 0;
};

// An off-screen drawing surface with a device context of its own; its
// contents persist between drawings and can be read back.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual Handle hDC() const = 0;
  virtual int width() const = 0;   // pixels
  virtual int height() const = 0;  // pixels
  virtual Bitmap read() const = 0;
};

// A transparent area over part of a window's client area that receives the
// mouse and carries a tooltip. It draws nothing.
class MouseArea {
 public:
  virtual ~MouseArea() = default;
  virtual void setToolTipText(const std::string& text) = 0;
  virtual std::string toolTipText() const = 0;

  std::function<void()> onClick;  // press and release without a drag
  std::function<void(const MouseEvent&)> onMouseMove;
};

// A child control of a window: a system control on the real desktop. Its
// text is UTF-8; a disabled control takes neither the focus nor input.
class Control {
 public:
  virtual ~Control() = default;
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;
};

// A line of text.
class Label : public Control {};

// A single-line text box.
class TextBox : public Control {
 public:
  virtual void selectAll() = 0;
  // Takes the keyboard focus.
  virtual void focus() = 0;

  // Every change of the text, typed or set by the program.
  std::function<void()> onChange;
};

// A push button. While its window is shown, Enter presses the default
// button and Esc the cancel button.
class Button : public Control {
 public:
  bool isDefault() const { return default_; }
  void setDefault(bool isDefault) {
    default_ = isDefault;
    defaultChanged();
  }
  bool isCancel() const { return cancel_; }
  void setCancel(bool isCancel) { cancel_ = isCancel; }

  std::function<void()> onClick;

 protected:
  // Where the system marks the default button, it does so here.
  virtual void defaultChanged() {}

 private:
  bool default_ = false;
  bool cancel_ = false;
};

enum class ControlKind { Label, TextBox, Button };

// One item of a menu is addressed by its index, 0 being the top.
class Menu {
 public:
  virtual ~Menu() = default;
  // A caption of a single "-" makes a separator, which cannot be chosen.
  virtual int addItem(const std::string& caption, std::function<void()> onClick) = 0;
  virtual int itemCount() const = 0;
  virtual std::string caption(int item) const = 0;
  virtual void setCaption(int item, const std::string& caption) = 0;
  // Whether the menu shows as the window's menu bar while the window is shown.
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  // Shows the items as a popup at the mouse pointer and returns when it
  // closes; a chosen item's handler has run by then.
  virtual void popup() = 0;
};

enum class WindowKind {
  Character,  // borderless, no taskbar button, never takes the focus
  Dialog,     // thin fixed border, title bar without close, minimise or maximise box
};

struct WindowDesign {
  std::string className;  // also how tests and probes find the window
  std::string title;
  WindowKind kind = WindowKind::Character;
  float width = 0;  // design client size, twips
  float height = 0;
  bool hasIcon = false;  // carries the program's icon
};

// A top-level window. Left and Top are its screen position, Width and Height
// the size of its client area, all in twips. It keeps a persistent back
// image: drawing goes into it through hDC(), refresh() brings it to the
// screen, and the window repaints from it whenever it is uncovered.
class Window {
 public:
  virtual ~Window() = default;

  virtual float left() const = 0;
  virtual float top() const = 0;
  virtual float width() const = 0;
  virtual float height() const = 0;
  virtual void setLeft(float twips) = 0;
  virtual void setTop(float twips) = 0;
  virtual void setWidth(float twips) = 0;
  virtual void setHeight(float twips) = 0;

  virtual void show() = 0;  // without taking the focus for character windows
  virtual void hide() = 0;
  virtual bool visible() const = 0;

  virtual Handle hWnd() const = 0;
  virtual Handle hDC() const = 0;  // the back image
  virtual void refresh() = 0;
  virtual Handle icon() const = 0;  // 0 without one

  // A mouse area at (x, y) of the client area, sizes in pixels. The window owns it.
  virtual MouseArea& addMouseArea(int x, int y, int width, int height) = 0;
  // Child controls at (x, y) of the client area, sizes in pixels, in the
  // order the Tab key visits them. The window owns them.
  Label& addLabel(int x, int y, int width, int height, const std::string& text) {
    return static_cast<Label&>(addControl(ControlKind::Label, x, y, width, height, text));
  }
  TextBox& addTextBox(int x, int y, int width, int height, const std::string& text) {
    return static_cast<TextBox&>(addControl(ControlKind::TextBox, x, y, width, height, text));
  }
  Button& addButton(int x, int y, int width, int height, const std::string& caption) {
    return static_cast<Button&>(addControl(ControlKind::Button, x, y, width, height, caption));
  }
  // The window's top-level menu. The window owns it.
  virtual Menu& addMenu(const std::string& caption) = 0;

  // Mouse moves over the window's own client area (not over a mouse area),
  // and whatever the system reports as one.
  std::function<void(const MouseEvent&)> onMouseMove;
  // The notification area was created anew (the shell restarted): icons
  // added before are gone.
  std::function<void()> onNotificationAreaCreated;
  // Esc in a window without a cancel button.
  std::function<void()> onCancel;
  // The display's size changed (screen() says how).
  std::function<void()> onDisplayChange;

 protected:
  // A child control of the kind's class (Label, TextBox or Button).
  virtual Control& addControl(ControlKind kind, int x, int y, int width, int height,
                              const std::string& text) = 0;
};

// A periodic timer ticking on the user-interface thread. A tick never runs
// inside a running tick handler of any timer. Setting the interval or
// enabling the timer restarts the count toward the next tick.
class Timer {
 public:
  virtual ~Timer() = default;
  int interval() const { return interval_; }  // milliseconds
  void setInterval(int ms) {
    interval_ = ms;
    restart();
  }
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
  }

  std::function<void()> onTick;

 protected:
  Timer(int intervalMs, bool enabled) : interval_(intervalMs), enabled_(enabled) {}
  // Starts the count toward the next tick afresh; a disabled timer, or one
  // with an interval of 0, does not tick at all.
  virtual void restart() = 0;

 private:
  int interval_;
  bool enabled_;
};

// Everything else the window classes need from the system. Win32 calls keep
// their Win32 names and arguments; their results are there for completeness,
// the program does not examine them.
class Platform {
 public:
  virtual ~Platform() = default;

  // Objects.
  virtual std::unique_ptr<Window> createWindow(const WindowDesign& design) = 0;
  virtual std::unique_ptr<Surface> createSurface(int width, int height) = 0;
  virtual std::unique_ptr<Surface> loadPicture(Picture picture) = 0;
  virtual std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) = 0;

  // Event processing. doEvents runs every pending event once and returns.
  // doEventsPaced runs `passes` such passes spread over about `totalMs` of
  // real time, waiting rather than spinning, so that a step counted in
  // passes has the same length on every machine.
  virtual void doEvents() = 0;
  virtual void doEventsPaced(int passes, int totalMs) = 0;
  // Ends the program at once: no handler runs afterwards.
  virtual void end() = 0;

  // A modal message box; returns the button chosen.
  virtual int messageBox(const std::string& text, const std::string& title, int style) = 0;

  // The primary monitor's size and the twips per pixel.
  virtual ScreenMetrics screen() const = 0;
  // The monitors, the primary one at (0, 0); the desktop is their union.
  virtual std::vector<Monitor> monitors() const = 0;
  // Whether the monitor that holds the centre of `hWnd`'s window (or the
  // nearest one) is taken: by a full-screen program or a presentation
  // there, or by a locked or absent session.
  virtual bool screenTaken(Handle hWnd) = 0;
  // Whether any monitor that the rectangle (twips) overlaps is taken.
  virtual bool anyScreenTaken(float left, float top, float right, float bottom) = 0;

  // The per-user settings store.
  virtual std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& fallback) = 0;
  virtual void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // Starts a program from a command line without waiting; false when it
  // could not be started.
  virtual bool shell(const std::string& commandLine, int showMode) = 0;

  // The random generator: seeded from the system timer, then uniform in [0, 1).
  virtual void randomize() = 0;
  virtual double rnd() = 0;

  virtual DateTime now() = 0;

  // Win32 calls.
  virtual Handle GetDC(Handle hWnd) = 0;
  virtual int ReleaseDC(Handle hWnd, Handle hDC) = 0;
  virtual bool BitBlt(Handle dst, int x, int y, int w, int h, Handle src, int sx, int sy,
                      std::uint32_t rop) = 0;
  virtual bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  virtual bool ReleaseCapture() = 0;
  virtual std::int32_t SendMessage(Handle hWnd, std::uint32_t msg, std::uint32_t wParam,
                                   std::int32_t lParam) = 0;
  virtual bool Shell_NotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
  // Fill `buffer` (of `size` bytes) with the directory as UTF-8 and a NUL;
  // return its length, 0 on failure (the buffer is then left as it was).
  virtual std::uint32_t GetWindowsDirectory(char* buffer, std::uint32_t size) = 0;
  virtual std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) = 0;
  // All zero when the system cannot tell.
  virtual void GlobalMemoryStatusEx(MemoryStatusEx& status) = 0;
};

}  // namespace platform
