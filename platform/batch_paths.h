// How a batch file names a path so that the command interpreter can open it. cmd.exe opens no
// path of MAX_PATH characters or more (Wine's not even with the "\\?\" prefix): a longer path
// is written with its folder by its short (8.3) name, when the file system has short names and
// that makes it short enough. One implementation per platform, chosen by the build; elsewhere a
// path is written as it is.
#pragma once

#include <string>

namespace platform {

// The form of `path` that a line of a batch file names it by: the path itself while cmd opens
// it, else its folder by its short name followed by the file name. The folder must exist. False
// when cmd can open the path in no form.
bool BatchPath(const std::string& path, std::string& written);

// The path that BatchPath wrote as `written`: a folder by its short name made long again when
// the path it gives is one BatchPath would have shortened; else `written` as it is.
std::string PathOfBatchPath(const std::string& written);

}  // namespace platform
