// A periodic timer: SetTimer on the hidden helper window.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class Win32Timer final : public Timer {
 public:
  Win32Timer(int intervalMs, bool enabled);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  int interval() const override { return interval_; }
  void setInterval(int ms) override;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool enabled) override;

  // A WM_TIMER of the helper window.
  static void deliver(UINT_PTR id);

 private:
  void restart();

  UINT_PTR id_;
  int interval_;
  bool enabled_;
};

}  // namespace platform::win32
