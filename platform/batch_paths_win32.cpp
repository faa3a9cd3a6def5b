#include <windows.h>

#include "platform/batch_paths.h"
#include "platform/files_win32.h"
#include "platform/utf16.h"

namespace platform {

namespace {

// cmd.exe opens a path of fewer characters than this (MAX_PATH counts the final NUL); from this
// length on it says "File name is too long" and, under Wine, leaves ERRORLEVEL at 0.
constexpr size_t kCommandLimit = MAX_PATH;

constexpr wchar_t kPrefix[] = L"\\\\?\\";
constexpr wchar_t kSharePrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::wstring WithoutPrefix(const std::wstring& path) {
    if (StartsWith(path, kSharePrefix)) return L"\\\\" + path.substr(wcslen(kSharePrefix));
    if (StartsWith(path, kPrefix)) return path.substr(wcslen(kPrefix));
    return path;
}

std::wstring WithPrefix(const std::wstring& path) {
    if (StartsWith(path, L"\\\\")) return kSharePrefix + path.substr(2);  // \\server\share
    return kPrefix + path;
}

// A folder made absolute and cleaned, without the "\\?\" prefix; one with the prefix is taken
// as it is, as the system takes it.
std::wstring FullFolder(const std::wstring& folder) {
    if (StartsWith(folder, kPrefix)) return WithoutPrefix(folder);
    return platform::FullPath(folder);
}

using NameConversion = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

std::wstring Converted(const std::wstring& path, NameConversion convert) {
    DWORD needed = convert(path.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring converted(needed, L'\0');
    DWORD length = convert(path.c_str(), converted.data(), needed);
    if (length == 0 || length >= needed) return {};
    converted.resize(length);
    return converted;
}

// `path` with its folder converted by GetShortPathNameW or GetLongPathNameW and its file name as
// it is (a file written later, as the backup and the sheet are, has no short name yet); with
// the "\\?\" prefix only when `path` has it. Empty when the folder cannot be converted.
std::wstring WithFolderConverted(const std::wstring& path, NameConversion convert) {
    size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    std::wstring folder = FullFolder(path.substr(0, separator + 1));
    // Wine converts a folder under MAX_PATH only without the prefix (GetLongPathNameW gives a
    // prefixed path back as it is), and a longer one only with it.
    std::wstring converted;
    if (folder.size() < kCommandLimit) converted = Converted(folder, convert);
    if (converted.empty()) converted = WithoutPrefix(Converted(WithPrefix(folder), convert));
    if (converted.empty()) return {};
    if (StartsWith(path, kPrefix)) converted = WithPrefix(converted);
    if (converted.back() != L'\\') converted += L'\\';
    return converted + path.substr(separator + 1);
}

}  // namespace

bool BatchPath(const std::string& path, std::string& written) {
    std::wstring wide = Utf16(path);
    if (wide.size() < kCommandLimit) {
        written = path;
        return true;
    }
    std::wstring shortened = WithFolderConverted(wide, GetShortPathNameW);
    if (shortened.empty() || shortened.size() >= kCommandLimit) return false;
    written = Utf8(shortened);
    return true;
}

std::string PathOfBatchPath(const std::string& written) {
    if (written.find('~') == std::string::npos) return written;  // no short name in it
    std::wstring lengthened = WithFolderConverted(Utf16(written), GetLongPathNameW);
    // A path that cmd opens as it is was written as it is: a short name the user typed stays.
    if (lengthened.size() < kCommandLimit) return written;
    return Utf8(lengthened);
}

}  // namespace platform
