// The Windows file services' own form of a path, declared for the tests: Wine's file functions
// take long paths without the "\\?\" prefix, so only its bytes can show that it is there.
#pragma once

#include <string>

namespace platform {

// The path as the wide file functions take it (UTF-16): unchanged while it is short; from 248
// characters on made absolute, cleaned and given the "\\?\" prefix ("\\?\UNC\" for a share).
std::wstring SystemPath(const std::string& path);

// The path made absolute and cleaned by the system; unchanged when it cannot be.
std::wstring FullPath(const std::wstring& path);

}  // namespace platform
