// What rer tells about the machine's memory.
#pragma once

#include <cstdint>
#include <string>

// Byte counts of physical memory and of the page file, total and available.
struct MemoryFigures {
  std::uint64_t totalPhys = 0, availPhys = 0;
  std::uint64_t totalPageFile = 0, availPageFile = 0;
};

// A byte count in thousands, to the nearest, halves to the even neighbour.
std::uint64_t thousands(std::uint64_t bytes);

// The share of memory and page file still available, in whole percent,
// rounded down: 0 to 100, and 0 when the system reports no memory at all.
int freePercent(const MemoryFigures& m);

// For example リソースの残りは37% だぜ！
std::string freeMemoryText(const MemoryFigures& m);
