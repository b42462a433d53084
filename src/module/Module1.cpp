// Text and number helpers of the program-wide variables.
#include "module/Module1.h"

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

std::optional<double> numberFromText(std::string_view text) {
  const std::string trimmed = trimBlanks(text);
  if (!isPlainDecimal(trimmed)) return std::nullopt;
  // Only digits, a sign and a dot are left: strtod reads all of it, and in
  // the "C" locale the dot is the decimal point.
  return std::strtod(trimmed.c_str(), nullptr);
}

std::optional<std::int16_t> toInt16(double value) {
  const double rounded = std::nearbyint(value);  // halves to even
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max()))
    return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

std::int16_t parseStoredRate(std::string_view text, std::int16_t fallback) {
  const std::optional<double> value = numberFromText(text);
  const std::optional<std::int16_t> rate = value ? toInt16(*value) : std::nullopt;
  return rate.value_or(fallback);
}
