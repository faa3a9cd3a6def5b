// The Win32 boundary: the program's text is UTF-8 inside, UTF-16 in every wide-character call.
// Windows only.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 text as UTF-16, for a wide-character call.
std::wstring Utf16(std::string_view utf8);

// UTF-16 text from a wide-character call as UTF-8.
std::string Utf8(std::wstring_view utf16);

}  // namespace platform
