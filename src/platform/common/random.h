// The program's one random generator: uniform numbers in [0, 1) with 24 bits,
// exactly representable in single precision, so that N * r never rounds up
// to N.
#pragma once

#include <cstdint>
#include <random>

namespace platform {

class RandomGenerator {
 public:
  void seed(std::uint32_t s) { engine_.seed(s); }
  double next() { return static_cast<double>(engine_() >> 8) / 16777216.0; }

 private:
  std::mt19937 engine_{0};
};

}  // namespace platform
