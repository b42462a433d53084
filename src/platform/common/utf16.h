// UTF-8, the interface's texts, as UTF-16, the system's.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Characters beyond the basic plane become surrogate pairs. A malformed
// sequence (a stray continuation byte, a lead byte without its followers,
// an overlong or out-of-range form) becomes U+FFFD, so no input is lost
// silently or read past its end.
std::u16string utf16(std::string_view utf8);

}  // namespace platform
