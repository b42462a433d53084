// A simulated day of random use: xpekko_soak [hours] [first seed]. Prints
// what it saw, and any broken invariant with the seed and event number that
// reproduce it; exits 1 then.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "soak/soak.h"

int main(int argc, char** argv) {
  const int hours = argc > 1 ? std::atoi(argv[1]) : 24;
  const std::uint32_t first = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 1;
  soak::Figures f;
  const auto t0 = std::chrono::steady_clock::now();
  for (int h = 0; h < hours && f.violation.empty(); ++h) soak::Stream(first + h, f).run(60);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf(
      "simulated %d h in %.1f s: %lld events; visits %d, elopements %d, send outs %d, call backs %d, boxes "
      "%d, "
      "dialogs %d, shell restarts %d, endings %d\n",
      hours, s, f.events, f.visits, f.elopements, f.sendOuts, f.callBacks, f.boxes, f.dialogs,
      f.shellRestarts, f.endings);
  if (!f.violation.empty()) std::printf("VIOLATION: %s\n", f.violation.c_str());
  return f.violation.empty() ? 0 : 1;
}
