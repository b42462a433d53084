// Prints what one frame drawing costs on the simulated desktop (wall and
// CPU time per frame). A figure to watch, not a test.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/sim/sim_desktop.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  platform::sim::SimDesktop desk(1024, 768, 15);
  Program app(desk);
  app.start();
  const auto wall0 = std::chrono::steady_clock::now();
  const std::clock_t cpu0 = std::clock();
  for (int i = 0; i < frames; ++i) {
    const std::int16_t cell = static_cast<std::int16_t>(i % 12);
    app.pekko().BBfun1(cell);
  }
  const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  std::printf("sim frame drawing: %d frames, %.1f us wall, %.1f us CPU per frame\n", frames,
              wall / frames * 1e6, cpu / frames * 1e6);
  return 0;
}
