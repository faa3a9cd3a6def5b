#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/files.h"

namespace files {

const std::string_view kFolderSeparators = "\\/";

namespace {

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

std::string FullPath(const std::string& path) {
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::string full(needed, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

// The code page of the program's own text: the one place that names it.
constexpr UINT kProgramCodePage = CP_ACP;

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

}  // namespace

bool Exists(const std::string& path) {
    if (InjectedFailure()) return false;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ReadResult ReadIfPresent(const std::string& path, std::string& contents) {
    if (InjectedFailure()) return ReadResult::Failed;
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return missing ? ReadResult::Missing : ReadResult::Failed;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.value, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > std::string().max_size())
        return ReadResult::Failed;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 26));
        DWORD got = 0;
        if (!ReadFile(file.value, &bytes[done], chunk, &got, nullptr) || got == 0)
            return ReadResult::Failed;
        done += got;
    }
    contents = std::move(bytes);
    return ReadResult::Read;
}

bool WriteWhole(const std::string& path, std::string_view contents) {
    if (InjectedFailure()) return false;
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    while (!contents.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size(), 1u << 26));
        DWORD written = 0;
        if (!WriteFile(file.value, contents.data(), chunk, &written, nullptr) || written == 0)
            return false;
        contents.remove_prefix(written);
    }
    return FlushFileBuffers(file.value) != 0;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    // A read-only file is the user's wish to keep it (not every file system says so itself).
    DWORD attributes = GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Remove(const std::string& path) {
    if (InjectedFailure()) return false;
    return DeleteFileA(path.c_str()) != 0;
}

bool SamePath(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, FullPath(a).c_str(), -1,
                          FullPath(b).c_str(), -1) == CSTR_EQUAL;
}

std::string AbsolutePath(const std::string& path) { return FullPath(path); }

bool ToBatchEncoding(std::string_view text, BatchEncoding encoding, std::string& bytes) {
    std::wstring wide;
    return ToWide(text, kProgramCodePage, wide) && FromWide(wide, CodePageOf(encoding), bytes);
}

bool FromBatchEncoding(std::string_view bytes, BatchEncoding encoding, std::string& text) {
    std::wstring wide;
    return ToWide(bytes, CodePageOf(encoding), wide) && FromWide(wide, kProgramCodePage, text);
}

}  // namespace files
