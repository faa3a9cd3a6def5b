#include <windows.h>

#include <algorithm>
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

}  // namespace

bool Exists(const std::string& path) {
    if (InjectedFailure()) return false;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWhole(const std::string& path, std::string& contents) {
    if (InjectedFailure()) return false;
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.value, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > std::string().max_size())
        return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 26));
        DWORD got = 0;
        if (!ReadFile(file.value, &bytes[done], chunk, &got, nullptr) || got == 0) return false;
        done += got;
    }
    contents = std::move(bytes);
    return true;
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

bool CopyReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
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

std::string ToBatchCodePage(std::string_view ansi) {
    if (ansi.empty()) return std::string();
    int wideLength =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                        wideLength);
    int oemLength =
        WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string oem(static_cast<size_t>(oemLength), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideLength, &oem[0], oemLength, nullptr, nullptr);
    return oem;
}

}  // namespace files
