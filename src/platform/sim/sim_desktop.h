// A headless, deterministic desktop: the second platform the window classes
// run on, unchanged. The screen is composed from a desktop picture and the
// visible windows' back images; time is a virtual clock that the test
// advances; input arrives through an event queue that runs at the next event
// pass, exactly where the real event loop would run it.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/common/random.h"
#include "platform/platform.h"
#include "platform/sim/sim_objects.h"

namespace platform::sim {

inline constexpr Handle kScreenDC = 1;

struct MessageBoxCall {
  std::string text, title;
  int style = 0;
};

struct ShellCall {
  std::string commandLine;
  int showMode = 0;
  bool started = false;
};

struct SentMessage {
  Handle hWnd = 0;
  std::uint32_t msg = 0, wParam = 0;
  std::int32_t lParam = 0;
};

// A monitor in pixels of the screen; the primary one's top-left is (0, 0).
struct SimMonitor {
  int x = 0, y = 0, width = 0, height = 0;
  bool primary = false;
  // Another program has it full screen.
  bool taken = false;
};

struct SetWindowPosCall {
  Handle hWnd = 0, insertAfter = 0;
  std::uint32_t flags = 0;
  int x = 0;  // where the window stood, pixels: each frame's place
};

class SimDesktop : public Platform {
 public:
  // Twips per pixel across, and down when given (the same otherwise).
  SimDesktop(int widthPixels = 1024, int heightPixels = 768, float twipsPerPixel = 15,
             float twipsPerPixelY = 0);
  ~SimDesktop() override;

  // --- Platform ---
  std::unique_ptr<Window> createWindow(const WindowDesign& design) override;
  std::unique_ptr<Surface> createSurface(int width, int height) override;
  std::unique_ptr<Surface> loadPicture(Picture picture) override;
  std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override;
  void doEvents() override;
  void doEventsPaced(int passes, int totalMs) override;
  void end() override;
  int messageBox(const std::string& text, const std::string& title, int style) override;
  ScreenMetrics screen() const override { return metrics_; }
  std::vector<Monitor> monitors() const override;
  bool screenTaken(Handle hWnd) override;
  bool anyScreenTaken(float left, float top, float right, float bottom) override;
  std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool shell(const std::string& commandLine, int showMode) override;
  void randomize() override;
  double rnd() override;
  DateTime now() override { return dateTime; }
  Handle GetDC(Handle hWnd) override;
  int ReleaseDC(Handle hWnd, Handle hDC) override;
  bool BitBlt(Handle dst, int x, int y, int w, int h, Handle src, int sx, int sy, std::uint32_t rop) override;
  bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool ReleaseCapture() override;
  std::int32_t SendMessage(Handle hWnd, std::uint32_t msg, std::uint32_t wParam,
                           std::int32_t lParam) override;
  bool Shell_NotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
  std::uint32_t GetWindowsDirectory(char* buffer, std::uint32_t size) override;
  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) override;
  void GlobalMemoryStatusEx(MemoryStatusEx& status) override;

  // --- The screen ---
  // The desktop picture spans the monitors' bounding box; only what lies
  // on a monitor is seen.
  void fillDesktop(std::uint32_t colour);
  void setDesktop(const Bitmap& picture);  // must be the bounding box's size
  const Bitmap& desktop() const { return desktop_; }
  // A display change: the monitors replaced by these (the first primary
  // unless one says so), the desktop picture cut or grown (in its colour
  // at the top left) to their bounding box, and every window told at the
  // next pass. changeDisplay makes one monitor of the given size.
  void setMonitors(std::vector<SimMonitor> monitors);
  void changeDisplay(int widthPixels, int heightPixels);
  // The monitors; a test may mark one taken.
  std::vector<SimMonitor> displays;
  // Whether a full-screen program, a presentation or a locked session has
  // every monitor, and how often the program asked about his.
  bool taken = false;
  int screenChecks = 0;
  bool onMonitor(int x, int y) const;
  // What the screen shows in a rectangle; where no monitor is, black.
  Bitmap capture(int x, int y, int w, int h) const;
  // A picture as the program loads it.
  static Bitmap picture(Picture picture);

  // --- Windows ---
  SimWindow* window(Handle hWnd) const;
  // Bottom to top as composed: the normal band, then the topmost band.
  std::vector<SimWindow*> stacking() const;
  Handle foreground() const { return foreground_; }
  // Another application's window, shown and active, filled with a colour.
  std::unique_ptr<SimWindow> openApplicationWindow(int x, int y, int w, int h, std::uint32_t colour);

  // --- Time ---
  long long clock() const { return clock_; }
  // Runs the event loop for `ms` of virtual time: queued events, and every
  // timer tick that falls due, in order.
  void advance(int ms);
  bool inTick() const { return inTick_; }

  // --- Input: each runs at the next event pass ---
  void post(std::function<void()> event);
  // Mouse moves and clicks at a client point (pixels) of a window.
  void mouseMove(Window& w, int button, int x = 10, int y = 10);
  void click(Window& w, int x = 10, int y = 10);
  // A press with the left button, a drag by (dx, dy) pixels taking `ms` of
  // virtual time, and the release. The window follows only if the program
  // starts the system's move loop.
  void drag(Window& w, int dx, int dy, int ms = 0, int button = LeftButton);
  // Typing into a text box (a backspace, '\b', removes); it takes the
  // focus first if it has not got it, the caret then after its text.
  void type(TextBox& box, const std::string& text);
  // A click on a button, which also gives it the focus.
  void click(Button& button);
  // The keys a shown dialog window handles: Enter presses the default
  // button, Esc cancels.
  enum class Key { Enter, Escape };
  void key(Window& w, Key key);
  // A mouse message on the notification-area icon (e.g. 514, left release).
  void trayMouse(int mouseMessage);
  // The shell restarts: every icon is gone, and windows are told.
  void recreateNotificationArea();
  int cursorX = 512, cursorY = 384;

  // --- What the program did ---
  std::vector<MessageBoxCall> messageBoxes;
  std::function<int(const MessageBoxCall&)> onMessageBox;  // runs while the box is open
  struct PopupCall {
    SimMenu* menu;
    int x, y;
  };
  std::vector<PopupCall> popups;
  std::function<int(SimMenu&)> onPopup;  // returns the item chosen, -1 to dismiss
  std::vector<ShellCall> shells;
  std::set<std::string> programs;  // paths of programs that exist
  std::map<std::pair<Handle, std::uint32_t>, NotifyIconData> trayIcons;
  std::map<std::string, std::string> settings;  // "app\section\key" -> text
  int settingWrites = 0;
  std::vector<SentMessage> sentMessages;
  std::vector<SetWindowPosCall> setWindowPosCalls;
  int releaseCaptures = 0;
  int heldScreenDCs() const { return heldScreenDCs_; }
  int screenDCsObtained = 0;
  int screenDCsReleased = 0;  // every ReleaseDC of the screen, held or not
  // Calls the program made after end(): the real process would be gone.
  int callsAfterEnd = 0;
  bool ended() const { return ended_; }

  // --- The system's answers ---
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
  MemoryStatusEx memory{33554432, 8388608, 100663296, 41943040};
  DateTime dateTime{2026, 12, 5, 7, 22, 7, 0};
  std::uint32_t randomSeed = 1;  // what the system timer gives randomize()
  // Numbers rnd() returns before the generator's own, so that a test can
  // make the program draw what it needs.
  std::deque<double> scriptedRandom;
  int randomNumbersDrawn = 0;

  // --- For the objects ---
  Handle newHandle() { return nextHandle_ += 4; }
  void registerDC(Handle dc, Bitmap* bmp) { dcs_[dc] = bmp; }
  void unregisterDC(Handle dc) { dcs_.erase(dc); }
  void addWindow(SimWindow* w);
  void removeWindow(SimWindow* w);
  void addTimer(SimTimer* t) { timers_.push_back(t); }
  void removeTimer(SimTimer* t);
  void activate(Handle hWnd) { foreground_ = hWnd; }
  void raise(SimWindow* w);  // to the top of its band
  void popupShown(SimMenu& menu);

 private:
  void runUntil(long long time);
  void runPostedEvents();
  // False, and counted, once the program has ended.
  bool alive();
  std::uint32_t directoryCall(const std::string& dir, char* buffer, std::uint32_t size) const;

  ScreenMetrics metrics_;
  Bitmap desktop_;
  int originX_ = 0, originY_ = 0;  // the screen point at the picture's top left
  std::vector<SimWindow*> z_;      // bottom to top, both bands mixed
  std::vector<SimTimer*> timers_;
  std::map<Handle, Bitmap*> dcs_;
  // One queue, as the system's: a pass nested inside an event's handler goes
  // on with the events still waiting behind that one.
  std::deque<std::function<void()>> posted_;
  RandomGenerator random_;
  Handle nextHandle_ = 0x1000;
  Handle foreground_ = 0;
  long long clock_ = 0;
  bool inTick_ = false;
  bool ended_ = false;
  int heldScreenDCs_ = 0;
  // The window where the button went down: the pointer keeps its pixel.
  struct PendingDrag {
    Handle hWnd;
    int dx, dy, ms, pressX, pressY;
  };
  std::vector<PendingDrag> drags_;
};

}  // namespace platform::sim
