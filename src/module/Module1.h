// The program-wide variables, one instance owned by the Program, and the
// small text and number helpers they need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

// Length of the fixed texts that hold the two directories.
inline constexpr std::size_t kFixedTextLength = 255;

struct Module1 {
  std::int16_t kakePer = 0;                                 // elopement rate, percent
  std::string winDir = std::string(kFixedTextLength, ' ');  // Windows directory, blank-padded
  std::string sysDir = std::string(kFixedTextLength, ' ');  // system directory, blank-padded
  platform::Handle scrDC = 0;  // screen device context during a drawing (stale afterwards)
  bool scrDCHeld = false;      // whether scrDC is currently obtained and not yet released
  std::int16_t actMode = 0;    // current activity, 1 to 7; 0 before the first choice
  std::int16_t actStep = 0;    // step within it; 0 = choose anew at the next tick
  int characterBoxesOpen = 0;  // character message boxes open: frames keep out of the topmost band
};

// `text` cut or padded with blanks to exactly `length` bytes.
std::string fixedText(std::string_view text, std::size_t length);

// `text` without the blanks around it.
std::string trimBlanks(std::string_view text);

// Whether `text` is a number, and its value. A number is a plain decimal:
// blanks around it, an optional sign, digits with an optional fraction
// ("7", " 7 ", "-1", "7.0", ".5", "5."). Exponents, thousands separators,
// hexadecimal and full-width digits are not numbers: a rate is a small
// percentage typed in a box, these forms only invite a value the user did
// not mean, and the stored text must read back the same everywhere. Digits
// beyond a double's range give an infinite value.
std::optional<double> numberFromText(std::string_view text);

// A number as a 16-bit integer, rounded to the nearest, halves to even
// (12.5 gives 12, 13.5 gives 14); nothing when it lies outside the range.
std::optional<std::int16_t> toInt16(double value);

// A stored rate as a 16-bit integer; anything that is not a number in the
// 16-bit range gives `fallback`.
std::int16_t parseStoredRate(std::string_view text, std::int16_t fallback);

// Fills a fixed directory text from a directory call: the call writes into
// the text's own bytes; the part before the first NUL is kept and padded
// with blanks. Without a NUL (the call failed and the old text had none)
// the text stays as it was.
template <typename DirectoryCall>
void fillDirectory(std::string& fixed, DirectoryCall&& call) {
  std::string buffer = fixedText(fixed, kFixedTextLength);
  call(buffer.data(), static_cast<std::uint32_t>(kFixedTextLength));
  const std::size_t nul = buffer.find('\0');
  if (nul == std::string::npos) return;
  fixed = fixedText(std::string_view(buffer).substr(0, nul), kFixedTextLength);
}

// A uniform random integer from 1 to n: the integer part of n times a
// uniform random number in [0, 1), plus 1.
inline std::int16_t randomDraw(platform::Platform& os, int n) {
  return static_cast<std::int16_t>(static_cast<int>(n * os.rnd()) + 1);
}
