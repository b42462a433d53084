// Text conversions: the interface speaks UTF-8, the system's W functions UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace platform::win32
