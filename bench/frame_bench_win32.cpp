// Prints what a frame drawing costs on the real desktop (bench/wine.py frames
// runs it under Wine): the program's own start-up, then frames at tick-like
// intervals. Under Wine most of a frame's cost lies in wineserver, the desktop
// process and the X server, which ../shared/bench/sidebyside.py measures.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/message_pump.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"
#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"

namespace {

using platform::win32::nowMs;

double cpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) {
    return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int frames = argc > 1 ? _wtoi(argv[1]) : 100;
  platform::win32::Win32Platform os;
  Program program(os);
  program.start();
  program.pekko().Timer1().setEnabled(false);  // only the frames measured here
  os.doEventsPaced(10, 500);

  std::vector<double> wall;
  double cpu = 0;
  for (int i = 0; i < frames; ++i) {
    const std::int16_t cell = static_cast<std::int16_t>(i % 12);
    const double c0 = cpuMs(), t0 = nowMs();
    program.pekko().BBfun1(cell);
    wall.push_back(nowMs() - t0);
    cpu += cpuMs() - c0;
    os.doEventsPaced(20, 100);  // a tick's distance between frames
  }
  std::sort(wall.begin(), wall.end());
  std::printf("frame drawing (BBfun1): n=%zu  median %.2f ms  p90 %.2f ms  max %.2f ms  CPU %.2f ms each\n",
              wall.size(), wall[wall.size() / 2], wall[wall.size() * 9 / 10], wall.back(), cpu / wall.size());

  program.menu().tuskicon2();
  std::fflush(stdout);
  return 0;
}
