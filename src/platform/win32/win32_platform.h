// The real platform: the window classes' view of 32-bit Windows.
#pragma once

#include <memory>

#include "platform/common/random.h"
#include "platform/platform.h"

namespace platform::win32 {

struct Session;

class Win32Platform final : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The program's main loop, after start-up: runs until the program quits
  // and returns its exit code.
  int run();

  std::unique_ptr<Window> createWindow(const WindowDesign& design) override;
  std::unique_ptr<Surface> createSurface(int width, int height) override;
  std::unique_ptr<Surface> loadPicture(Picture picture) override;
  std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override;

  void doEvents() override;
  void doEventsPaced(int passes, int totalMs) override;
  void end() override;

  int messageBox(const std::string& text, const std::string& title, int style) override;
  ScreenMetrics screen() const override;
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
  DateTime now() override;

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

  // Screen device contexts obtained through GetDC(0) and not yet released.
  // (The system's own count, GetGuiResources, is always 0 under Wine.)
  std::size_t screenDCsHeld() const;

  // The layer's state, for the layer's own tests.
  Session& session() { return *session_; }

 private:
  std::unique_ptr<Session> session_;
  int boxesOpen_ = 0;
  RandomGenerator random_;
};

}  // namespace platform::win32
