// The Windows file services' own form of a path, declared for the tests: Wine's file functions
// take long paths without the "\\?\" prefix, so only its bytes can show that it is there.
#pragma once

#include <string>

namespace files {

// The path as the wide file functions take it (UTF-16): unchanged while it is short; from 248
// characters on made absolute, cleaned and given the "\\?\" prefix ("\\?\UNC\" for a share).
std::wstring SystemPath(const std::string& path);

}  // namespace files
