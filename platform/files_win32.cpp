#include "platform/files_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/files.h"
#include "platform/utf16.h"

namespace platform {

const std::string_view kFolderSeparators = "\\/";
const std::string_view kTemporaryPrefix = ".stylewick-";

namespace {

thread_local bool lastFailureWasDiskFull = false;

// Notes why the operation failed, for LastFailureWasDiskFull; always false.
bool Failed() {
    DWORD error = GetLastError();
    lastFailureWasDiskFull = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
    return false;
}

// The name of the file that holds a folder against other runs while it is open; the system
// deletes it when the handle closes, also when the process is killed.
constexpr wchar_t kLockName[] = L".stylewick-lock";

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

// An existing file that a move may replace: a read-only file is the user's wish to keep it
// (not every file system says so itself), and a folder is no file.
bool Replaceable(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
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

// Read and write sharing: a page that an editor or a browser holds open can still be read.
Handle OpenForReading(const std::wstring& path) {
    return Handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

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
    return (file.valid() && WriteAll(file.value, contents) && FlushFileBuffers(file.value)) ||
           Failed();
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    std::wstring source = SystemPath(from);
    std::wstring target = SystemPath(to);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !Replaceable(attributes)) return false;
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           Failed();
}

bool LastFailureWasDiskFull() { return lastFailureWasDiskFull; }

LockResult TryLockFolder(const std::string& folder, FolderLock& lock) {
    if (InjectedFailure()) return LockResult::Failed;
    std::wstring path = SystemPath(folder.empty() ? std::string(".\\") : folder);
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    HANDLE file =
        CreateFileW((path + kLockName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        lock.handle = reinterpret_cast<std::intptr_t>(file);
        return LockResult::Locked;
    }
    // A lock file being deleted by the run that just let it go refuses access for a moment.
    DWORD error = GetLastError();
    bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                error == ERROR_LOCK_VIOLATION;
    return busy && Attributes(folder.empty() ? "." : folder) != INVALID_FILE_ATTRIBUTES
               ? LockResult::Busy
               : LockResult::Failed;
}

void UnlockFolder(FolderLock& lock) {
    if (lock.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(lock.handle));
    lock.handle = -1;
}

bool WriteTemporary(const std::string& target, std::string_view contents, std::string& temporary,
                    const std::string* modelFile, std::string_view suffix) {
    temporary.clear();
    if (InjectedFailure()) return false;
    (void)modelFile;  // the page keeps its own metadata through ReplacePage
    size_t separator = target.find_last_of(kFolderSeparators);
    std::string folder = separator == std::string::npos ? "" : target.substr(0, separator + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string path =
            folder + std::string(kTemporaryPrefix) + RandomNamePart() + std::string(suffix);
        // CREATE_NEW refuses any name that is taken, a planted link's included.
        Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return Failed();
        }
        if (WriteAll(file.value, contents) && FlushFileBuffers(file.value)) {
            temporary = path;
            return true;
        }
        Failed();
        bool diskFull = lastFailureWasDiskFull;
        CloseHandle(file.value);
        file.value = INVALID_HANDLE_VALUE;
        DeleteFileW(SystemPath(path).c_str());
        lastFailureWasDiskFull = diskFull;
        return false;
    }
    return false;
}

bool MoveNew(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_WRITE_THROUGH) ||
           Failed();
}

bool ReplaceKeeping(const std::string& from, const std::string& to, const std::string& aside) {
    if (InjectedFailure()) return false;
    std::wstring target = SystemPath(to);
    if (!Replaceable(GetFileAttributesW(target.c_str()))) return false;
    std::wstring kept = SystemPath(aside);
    if (!CreateHardLinkW(kept.c_str(), target.c_str(), nullptr) &&
        !MoveFileExW(target.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH))
        return Failed();
    if (MoveFileExW(SystemPath(from).c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    Failed();
    bool diskFull = lastFailureWasDiskFull;
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
        MoveFileExW(kept.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    else
        DeleteFileW(kept.c_str());
    lastFailureWasDiskFull = diskFull;
    return false;
}

bool LinkNew(const std::string& existing, const std::string& link) {
    if (InjectedFailure()) return false;
    return CreateHardLinkW(SystemPath(link).c_str(), SystemPath(existing).c_str(), nullptr) ||
           Failed();
}

int LinkCount(const std::string& path) {
    Handle file(CreateFileW(SystemPath(path).c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.valid() || !GetFileInformationByHandle(file.value, &information)) return 1;
    return static_cast<int>(information.nNumberOfLinks);
}

std::string ResolvedPath(const std::string& path) { return path; }

bool ReplacePage(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    std::wstring target = SystemPath(to);
    if (!Replaceable(GetFileAttributesW(target.c_str()))) return false;
    // The page keeps its ACL, attributes, creation time and streams. Where that fails (a file
    // system or a path it does not take), a plain move still replaces the page in one step.
    std::wstring source = SystemPath(from);
    return ReplaceFileW(target.c_str(), source.c_str(), nullptr,
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr) ||
           MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           Failed();
}

bool IsHeldOpen(const std::string& path) {
    Handle file(CreateFileW(SystemPath(path).c_str(), DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

bool RewriteInPlace(const std::string& path, std::string_view contents) {
    if (InjectedFailure()) return false;
    Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Failed();
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(contents.size());
    LARGE_INTEGER start{};
    // Reserving the new length first makes a full disk fail before any byte changes.
    LARGE_INTEGER current{};
    if (!GetFileSizeEx(file.value, &current)) return Failed();
    if (size.QuadPart > current.QuadPart &&
        (!SetFilePointerEx(file.value, size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.value)))
        return Failed();
    return (SetFilePointerEx(file.value, start, nullptr, FILE_BEGIN) &&
            WriteAll(file.value, contents) &&
            SetFilePointerEx(file.value, size, nullptr, FILE_BEGIN) && SetEndOfFile(file.value) &&
            FlushFileBuffers(file.value)) ||
           Failed();
}

void FlushFolder(const std::string&) {
    // NTFS journals its folder entries; flushing a folder's handle needs rights a user may
    // not have, so nothing more is done here.
}

std::vector<std::string> FolderEntries(const std::string& folder, std::string_view prefix) {
    std::vector<std::string> names;
    std::string pattern =
        (folder.empty() ? std::string(".\\") : folder) + std::string(prefix) + "*";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(SystemPath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Utf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
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

}  // namespace platform
