// Prints what a frame drawing and a paced companion step cost on the real
// desktop: the program's own start-up, then frames at tick-like intervals.
// Figures to watch, not a test.
//
// Under Wine most of a frame's cost lies outside the program, in wineserver,
// the desktop process and the X server. XPEKKO_BENCH_PIDS ("name:pid,...",
// as tests/bench/frame_bench.py sets it) names such Linux processes; their
// CPU per call is then printed as well, read from /proc through drive Z:.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

struct Watched {
  std::string name;
  std::string statPath;
};

std::vector<Watched> watchedProcesses() {
  std::vector<Watched> out;
  const char* pids = std::getenv("XPEKKO_BENCH_PIDS");
  if (!pids) return out;
  std::string all = pids;
  for (std::size_t at = 0; at < all.size();) {
    std::size_t comma = all.find(',', at);
    if (comma == std::string::npos) comma = all.size();
    const std::string item = all.substr(at, comma - at);
    const std::size_t colon = item.find(':');
    if (colon != std::string::npos)
      out.push_back({item.substr(0, colon), "Z:\\proc\\" + item.substr(colon + 1) + "\\stat"});
    at = comma + 1;
  }
  return out;
}

// utime + stime of a Linux process, in milliseconds (USER_HZ of 100).
double linuxCpuMs(const Watched& w) {
  std::FILE* f = std::fopen(w.statPath.c_str(), "rb");
  if (!f) return 0;
  char buf[1024] = {};
  const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = 0;
  const char* p = std::strrchr(buf, ')');
  if (!p) return 0;
  // Fields after the name: state is the 3rd of the line, utime the 14th.
  long long field[16] = {};
  int i = 3;
  for (p += 2; *p && i <= 15; ++i) {
    while (*p == ' ') ++p;
    field[i] = std::atoll(p);
    while (*p && *p != ' ') ++p;
  }
  return static_cast<double>(field[14] + field[15]) * 10.0;
}

struct Others {
  std::vector<Watched> procs = watchedProcesses();
  std::vector<double> start;
  void begin() {
    start.clear();
    for (const Watched& w : procs) start.push_back(linuxCpuMs(w));
  }
  void print(std::size_t calls) const {
    if (procs.empty()) return;
    double sum = 0;
    std::printf("%-34s", "  CPU elsewhere per call");
    for (std::size_t i = 0; i < procs.size(); ++i) {
      const double d = (linuxCpuMs(procs[i]) - start[i]) / static_cast<double>(calls);
      sum += d;
      std::printf("  %s %.2f ms", procs[i].name.c_str(), d);
    }
    std::printf("  (sum %.2f ms)\n", sum);
  }
};

void report(const char* what, std::vector<double> v, double cpu) {
  std::sort(v.begin(), v.end());
  std::printf("%-34s n=%zu  median %.2f ms  p90 %.2f ms  max %.2f ms  CPU %.2f ms each\n", what, v.size(),
              v[v.size() / 2], v[v.size() * 9 / 10], v.back(), cpu / v.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int frames = argc > 1 ? _wtoi(argv[1]) : 100;
  platform::win32::Win32Platform os;
  Program program(os);
  program.start();
  program.pekko().Timer1().setEnabled(false);  // only the frames measured here
  os.doEventsPaced(10, 500);

  Others others;
  std::vector<double> wall;
  double cpu = 0;
  others.begin();
  for (int i = 0; i < frames; ++i) {
    const std::int16_t cell = static_cast<std::int16_t>(i % 12);
    const double c0 = cpuMs(), t0 = nowMs();
    program.pekko().BBfun1(cell);
    wall.push_back(nowMs() - t0);
    cpu += cpuMs() - c0;
    os.doEventsPaced(20, 100);  // a tick's distance between frames
  }
  report("frame drawing (BBfun1)", wall, cpu);
  // The pauses between the frames are included: an idle program's share.
  others.print(wall.size());

  // A walk step: the move, then the frame, as pekkoForm::walk does them.
  std::vector<double> walkWall;
  double walkCpu = 0;
  others.begin();
  for (int i = 0; i < frames; ++i) {
    const std::int16_t cell = static_cast<std::int16_t>(i % 12);
    platform::Window& form = program.pekko().form();
    const double c0 = cpuMs(), t0 = nowMs();
    form.setLeft(form.left() + ((i / 20) % 2 == 0 ? 120.0f : -120.0f));
    program.pekko().BBfun1(cell);
    walkWall.push_back(nowMs() - t0);
    walkCpu += cpuMs() - c0;
    os.doEventsPaced(20, 100);
  }
  report("walk step (move + BBfun1)", walkWall, walkCpu);
  others.print(walkWall.size());

  std::vector<double> steps;
  const double c0 = cpuMs();
  others.begin();
  for (int i = 0; i < 25; ++i) {
    const double t0 = nowMs();
    os.doEventsPaced(700, 40);
    steps.push_back(nowMs() - t0);
  }
  report("companion pause (700 passes)", steps, cpuMs() - c0);
  others.print(steps.size());

  program.menu().tuskicon2();
  std::fflush(stdout);
  return 0;
}
