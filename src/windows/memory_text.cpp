#include "windows/memory_text.h"

#include <cmath>

std::uint64_t thousands(std::uint64_t bytes) {
  const std::uint64_t q = bytes / 1000, r = bytes % 1000;
  return q + (r > 500 || (r == 500 && q % 2 == 1) ? 1 : 0);
}

int freePercent(const MemoryFigures& m) {
  const double avail = static_cast<double>(thousands(m.availPhys) + thousands(m.availPageFile));
  const double total = static_cast<double>(thousands(m.totalPhys) + thousands(m.totalPageFile));
  // Nothing reported (a failed query) tells nothing is free; a report with
  // more available than in all is taken as all free.
  if (!(total > 0)) return 0;
  const double p = std::floor(avail / total * 100);
  return p >= 100 ? 100 : static_cast<int>(p);
}

std::string freeMemoryText(const MemoryFigures& m) {
  return "リソースの残りは" + std::to_string(freePercent(m)) + "% だぜ！";
}
