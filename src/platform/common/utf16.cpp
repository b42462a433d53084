#include "platform/common/utf16.h"

namespace platform {

std::u16string utf16(std::string_view s) {
  constexpr char16_t kReplacement = 0xFFFD;
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i++]);
    int extra;
    char32_t cp, least;
    if (c < 0x80)
      extra = 0, cp = c, least = 0;
    else if ((c & 0xE0) == 0xC0)
      extra = 1, cp = c & 0x1F, least = 0x80;
    else if ((c & 0xF0) == 0xE0)
      extra = 2, cp = c & 0x0F, least = 0x800;
    else if ((c & 0xF8) == 0xF0)
      extra = 3, cp = c & 0x07, least = 0x10000;
    else {
      out.push_back(kReplacement);
      continue;
    }
    int k = 0;
    for (; k < extra && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; ++k, ++i)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    if (k < extra || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(kReplacement);
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace platform
