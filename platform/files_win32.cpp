#include "platform/files_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/fault_injection.h"
#include "platform/files.h"
#include "platform/utf16.h"

namespace files {

const std::string_view kFolderSeparators = "\\/";

namespace {

// From this length on a path gets the "\\?\" prefix: the old limit is MAX_PATH with its NUL,
// and a folder must leave room for a file name of 12 characters.
constexpr size_t kLongPathLength = MAX_PATH - 12;
constexpr DWORD kChunk = 1u << 26;

// The code page of the program's own text: the one place that names it.
constexpr UINT kProgramCodePage = CP_UTF8;

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return value != INVALID_HANDLE_VALUE; }
};

std::wstring FullPath(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(SystemPath(path).c_str()); }

bool ToWide(std::string_view bytes, UINT codePage, std::wstring& wide) {
    wide.clear();
    if (bytes.empty()) return true;
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), &wide[0], length) == length;
}

// Converts without best-fit look-alikes: false when a character has no exact equivalent.
bool FromWide(const std::wstring& wide, UINT codePage, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultFlag = utf8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, usedDefaultFlag);
    if (length <= 0 || usedDefault) return false;
    bytes.resize(static_cast<size_t>(length));
    return WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                               &bytes[0], length, nullptr, usedDefaultFlag) == length &&
           !usedDefault;
}

UINT CodePageOf(BatchEncoding encoding) {
    return encoding == BatchEncoding::Utf8 ? CP_UTF8 : CP_OEMCP;
}

bool ReadAll(HANDLE file, std::string& contents) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > std::string().max_size())
        return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunk));
        DWORD got = 0;
        if (!ReadFile(file, &bytes[done], chunk, &got, nullptr) || got == 0) return false;
        done += got;
    }
    contents = std::move(bytes);
    return true;
}

bool WriteAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file, contents.data(), chunk, &written, nullptr) || written == 0)
            return false;
        contents.remove_prefix(written);
    }
    return true;
}

// Makes an open file hold exactly `contents`.
bool Rewrite(HANDLE file, std::string_view contents) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAll(file, contents) &&
           SetEndOfFile(file) && FlushFileBuffers(file);
}

// Read and write sharing: a page that an editor or a browser holds open can still be read.
Handle OpenForReading(const std::wstring& path) {
    return Handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Windows renames nothing over a file that another program holds open. When that program lets
// others write the file, its bytes are replaced in place instead, and put back if the writing
// fails halfway.
bool ReplaceInPlace(const std::wstring& from, const std::wstring& to) {
    std::string replacement, original;
    Handle source(OpenForReading(from));
    if (!source.valid() || !ReadAll(source.value, replacement)) return false;
    Handle target(CreateFileW(to.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target.valid() || !ReadAll(target.value, original)) return false;
    if (!Rewrite(target.value, replacement)) {
        Rewrite(target.value, original);
        return false;
    }
    CloseHandle(source.value);
    source.value = INVALID_HANDLE_VALUE;
    DeleteFileW(from.c_str());
    return true;
}

}  // namespace

// The "\\?\" prefix lifts the MAX_PATH limit but also turns off the system's own clean-up of
// the path (relative parts, "/" separators), done here first by GetFullPathNameW.
std::wstring SystemPath(const std::string& path) {
    std::wstring wide = Utf16(path);
    if (StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\")) return wide;
    std::wstring full = FullPath(wide);
    if (full.size() < kLongPathLength) return wide;
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share
    return L"\\\\?\\" + full;
}

bool Exists(const std::string& path) {
    if (InjectedFailure()) return false;
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ReadResult ReadIfPresent(const std::string& path, std::string& contents) {
    if (InjectedFailure()) return ReadResult::Failed;
    Handle file(OpenForReading(SystemPath(path)));
    if (!file.valid()) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return missing ? ReadResult::Missing : ReadResult::Failed;
    }
    return ReadAll(file.value, contents) ? ReadResult::Read : ReadResult::Failed;
}

bool WriteWhole(const std::string& path, std::string_view contents) {
    if (InjectedFailure()) return false;
    Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && WriteAll(file.value, contents) && FlushFileBuffers(file.value);
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    std::wstring source = SystemPath(from);
    std::wstring target = SystemPath(to);
    // A read-only file is the user's wish to keep it (not every file system says so itself).
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD error = GetLastError();
    bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    return held && attributes != INVALID_FILE_ATTRIBUTES && ReplaceInPlace(source, target);
}

bool Remove(const std::string& path) {
    if (InjectedFailure()) return false;
    return DeleteFileW(SystemPath(path).c_str()) != 0;
}

bool SamePath(const std::string& a, const std::string& b) {
    // File names compare as the file system compares them: ordinal, ignoring case.
    std::wstring first = FullPath(Utf16(a));
    std::wstring second = FullPath(Utf16(b));
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::string AbsolutePath(const std::string& path) { return Utf8(FullPath(Utf16(path))); }

bool ToBatchEncoding(std::string_view text, BatchEncoding encoding, std::string& bytes) {
    std::wstring wide;
    return ToWide(text, kProgramCodePage, wide) && FromWide(wide, CodePageOf(encoding), bytes);
}

bool FromBatchEncoding(std::string_view bytes, BatchEncoding encoding, std::string& text) {
    std::wstring wide;
    return ToWide(bytes, CodePageOf(encoding), wide) && FromWide(wide, kProgramCodePage, text);
}

}  // namespace files
