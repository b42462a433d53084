// Text and number helpers of the program-wide variables.
#include "module/Module1.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

std::string fixedText(std::string_view text, std::size_t length) {
  std::string out(text.substr(0, length));
  out.resize(length, ' ');
  return out;
}

std::string trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

namespace {

// Plain decimal numbers only: [sign] digits [. digits] or [sign] . digits.
// Exponents, hexadecimal forms and separators are not numbers here, so that
// strtod cannot accept more than this.
bool isPlainDecimal(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  return digits > 0 && i == s.size();
}

}  // namespace

std::int16_t parseStoredRate(std::string_view text, std::int16_t fallback) {
  const std::string trimmed = trimBlanks(text);
  if (!isPlainDecimal(trimmed)) return fallback;
  errno = 0;
  const double value = std::strtod(trimmed.c_str(), nullptr);
  if (errno == ERANGE || !std::isfinite(value)) return fallback;
  const double rounded = std::nearbyint(value);  // halves to even
  if (rounded < std::numeric_limits<std::int16_t>::min() ||
      rounded > std::numeric_limits<std::int16_t>::max())
    return fallback;
  return static_cast<std::int16_t>(rounded);
}
