// A periodic timer: SetTimer on the hidden helper window, which delivers
// its ticks.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace platform::win32 {

class HostWindow;

class Win32Timer final : public Timer {
 public:
  Win32Timer(HostWindow& host, int intervalMs, bool enabled);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

 private:
  void restart() override;

  HostWindow& host_;
  UINT_PTR id_;
};

}  // namespace platform::win32
