// The real platform with a record of the screen's device contexts: every
// call goes to Win32Platform; GetDC(0) and ReleaseDC(0, ...) are also noted
// in the order they happen, and a test may run code of its own just before
// a screen context is taken.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace xpekko_test {

using namespace platform;

class RecordingPlatform final : public Platform {
 public:
  explicit RecordingPlatform(win32::Win32Platform& os) : os_(os) {}

  // "GetDC", "ReleaseDC" and whatever the test adds, in order.
  std::vector<std::string> events;
  // Screen contexts released that were not held at the time.
  int foreignReleases = 0;
  // Runs inside GetDC(0), before the context is taken.
  std::function<void()> beforeScreenDC;

  int held() const {
    int n = 0;
    for (const auto& [dc, count] : held_) n += count;
    return n;
  }

  Handle GetDC(Handle hWnd) override {
    if (hWnd == 0 && beforeScreenDC) beforeScreenDC();
    const Handle dc = os_.GetDC(hWnd);
    if (hWnd == 0) {
      events.push_back("GetDC");
      ++held_[dc];
    }
    return dc;
  }
  int ReleaseDC(Handle hWnd, Handle hDC) override {
    if (hWnd == 0) {
      events.push_back("ReleaseDC");
      auto it = held_.find(hDC);
      if (it == held_.end() || it->second == 0)
        ++foreignReleases;
      else
        --it->second;
    }
    return os_.ReleaseDC(hWnd, hDC);
  }

  std::unique_ptr<Window> createWindow(const WindowDesign& d) override { return os_.createWindow(d); }
  std::unique_ptr<Surface> createSurface(int w, int h) override { return os_.createSurface(w, h); }
  std::unique_ptr<Surface> loadPicture(Picture p) override { return os_.loadPicture(p); }
  std::unique_ptr<Timer> createTimer(int ms, bool enabled) override { return os_.createTimer(ms, enabled); }
  void doEvents() override { os_.doEvents(); }
  void doEventsPaced(int passes, int totalMs) override { os_.doEventsPaced(passes, totalMs); }
  void end() override { os_.end(); }
  int messageBox(const std::string& text, const std::string& title, int style) override {
    return os_.messageBox(text, title, style);
  }
  ScreenMetrics screen() const override { return os_.screen(); }
  std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) override {
    return os_.getSetting(app, section, key, fallback);
  }
  void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    os_.saveSetting(app, section, key, value);
  }
  bool shell(const std::string& commandLine, int showMode) override {
    return os_.shell(commandLine, showMode);
  }
  void randomize() override { os_.randomize(); }
  double rnd() override { return os_.rnd(); }
  DateTime now() override { return os_.now(); }
  bool BitBlt(Handle dst, int x, int y, int w, int h, Handle src, int sx, int sy,
              std::uint32_t rop) override {
    return os_.BitBlt(dst, x, y, w, h, src, sx, sy, rop);
  }
  bool SetWindowPos(Handle hWnd, Handle after, int x, int y, int cx, int cy, std::uint32_t flags) override {
    return os_.SetWindowPos(hWnd, after, x, y, cx, cy, flags);
  }
  bool ReleaseCapture() override { return os_.ReleaseCapture(); }
  std::int32_t SendMessage(Handle hWnd, std::uint32_t msg, std::uint32_t wParam,
                           std::int32_t lParam) override {
    return os_.SendMessage(hWnd, msg, wParam, lParam);
  }
  bool Shell_NotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
    return os_.Shell_NotifyIcon(message, data);
  }
  std::uint32_t GetWindowsDirectory(char* buffer, std::uint32_t size) override {
    return os_.GetWindowsDirectory(buffer, size);
  }
  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) override {
    return os_.GetSystemDirectory(buffer, size);
  }
  void GlobalMemoryStatusEx(MemoryStatusEx& status) override { os_.GlobalMemoryStatusEx(status); }

 private:
  win32::Win32Platform& os_;
  std::map<Handle, int> held_;
};

}  // namespace xpekko_test
