#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/files.h"

namespace platform {

const std::string_view kFolderSeparators = "/";
const std::string_view kTemporaryPrefix = ".stylewick-";

namespace {

thread_local bool lastFailureWasDiskFull = false;

// Notes why the operation failed, for LastFailureWasDiskFull; always false.
bool Failed() {
    lastFailureWasDiskFull = errno == ENOSPC || errno == EDQUOT;
    return false;
}

struct Descriptor {
    int value;
    explicit Descriptor(int fd) : value(fd) {}
    ~Descriptor() {
        if (value >= 0) ::close(value);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool Close() {
        int fd = value;
        value = -1;
        return ::close(fd) == 0;
    }
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Absolute form of a path whose folder exists; the path itself may not exist yet.
std::string Absolute(const std::string& path) {
    std::string folder = ".";
    std::string name = path;
    if (size_t slash = path.rfind('/'); slash != std::string::npos) {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) return path;
    std::string result = resolved;
    if (name.empty() || name == ".") return result;
    if (name == "..") return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
    return result + (result.back() == '/' ? "" : "/") + name;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Gives the open file the model's owner, group, mode and extended attributes, as far as the
// process may: failures here keep the defaults, which are never wider than the model's.
void TakeMetadata(int fd, const std::string& modelFile) {
    struct stat model;
    if (::stat(modelFile.c_str(), &model) != 0) return;
    (void)::fchown(fd, model.st_uid, model.st_gid);  // changes what it may; after it, the mode
    (void)::fchmod(fd, model.st_mode & 07777);
    ssize_t size = ::listxattr(modelFile.c_str(), nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<size_t>(size));
    size = ::listxattr(modelFile.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[at];
        ssize_t length = ::getxattr(modelFile.c_str(), name, nullptr, 0);
        if (length < 0) continue;
        std::vector<char> value(static_cast<size_t>(length));
        length = ::getxattr(modelFile.c_str(), name, value.data(), value.size());
        if (length >= 0) (void)::fsetxattr(fd, name, value.data(), static_cast<size_t>(length), 0);
    }
}

bool Writable(const struct stat& target) {
    // A file without any write permission is the user's wish to keep it, even for root.
    return !S_ISDIR(target.st_mode) && (target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace

bool Exists(const std::string& path) {
    if (InjectedFailure()) return false;
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

ReadResult ReadIfPresent(const std::string& path, std::string& contents) {
    if (InjectedFailure()) return ReadResult::Failed;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::string bytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            ssize_t got = ::read(fd, &bytes[done], bytes.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0)
                ok = false;
            else
                done += static_cast<size_t>(got);
        }
    }
    ::close(fd);
    if (!ok) return ReadResult::Failed;
    contents = std::move(bytes);
    return ReadResult::Read;
}

bool WriteWhole(const std::string& path, std::string_view contents) {
    if (InjectedFailure()) return false;
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.value < 0) return Failed();
    if (!WriteAll(file.value, contents) || ::fsync(file.value) != 0) return Failed();
    return file.Close() || Failed();
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    struct stat target;
    if (::stat(to.c_str(), &target) == 0 && !Writable(target)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0 || Failed();
}

bool Remove(const std::string& path) {
    if (InjectedFailure()) return false;
    return ::unlink(path.c_str()) == 0;
}

bool LastFailureWasDiskFull() { return lastFailureWasDiskFull; }

LockResult TryLockFolder(const std::string& folder, FolderLock& lock) {
    if (InjectedFailure()) return LockResult::Failed;
    std::string path = folder.empty() ? "." : folder;
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LockResult::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        lock.handle = fd;
        return LockResult::Locked;
    }
    bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? LockResult::Busy : LockResult::Failed;
}

void UnlockFolder(FolderLock& lock) {
    if (lock.handle >= 0) ::close(static_cast<int>(lock.handle));
    lock.handle = -1;
}

bool WriteTemporary(const std::string& target, std::string_view contents, std::string& temporary,
                    const std::string* modelFile, std::string_view suffix) {
    temporary.clear();
    if (InjectedFailure()) return false;
    std::string path;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        path = FolderOf(target) + std::string(kTemporaryPrefix) + RandomNamePart() +
               std::string(suffix);
        mode_t mode = modelFile ? 0600 : 0666;  // the model's mode comes once its owner is set
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) return Failed();
    }
    if (fd < 0) return false;
    Descriptor file(fd);
    temporary = path;
    if (modelFile) TakeMetadata(file.value, *modelFile);
    if (WriteAll(file.value, contents) && ::fsync(file.value) == 0 && file.Close()) return true;
    Failed();
    bool diskFull = lastFailureWasDiskFull;
    ::unlink(path.c_str());
    temporary.clear();
    lastFailureWasDiskFull = diskFull;
    return false;
}

bool MoveNew(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return Failed();
    // A file system without that rename: a link, where it has them, refuses a taken name too.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    struct stat taken;
    if (::lstat(to.c_str(), &taken) == 0) return false;  // the folder is locked: no race here
    return ::rename(from.c_str(), to.c_str()) == 0 || Failed();
}

bool ReplaceKeeping(const std::string& from, const std::string& to, const std::string& aside) {
    if (InjectedFailure()) return false;
    struct stat target;
    if (::lstat(to.c_str(), &target) != 0 || !Writable(target)) return false;
    bool linked = ::link(to.c_str(), aside.c_str()) == 0;
    if (!linked && (errno == EEXIST || ::rename(to.c_str(), aside.c_str()) != 0)) return Failed();
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    Failed();
    bool diskFull = lastFailureWasDiskFull;
    if (linked)
        ::unlink(aside.c_str());
    else
        ::rename(aside.c_str(), to.c_str());
    lastFailureWasDiskFull = diskFull;
    return false;
}

bool LinkNew(const std::string& existing, const std::string& link) {
    if (InjectedFailure()) return false;
    return ::link(existing.c_str(), link.c_str()) == 0 || Failed();
}

int LinkCount(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_nlink) : 1;
}

std::string ResolvedPath(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool ReplacePage(const std::string& from, const std::string& to) { return MoveReplacing(from, to); }

// An open file never keeps a rename from replacing it here.
bool IsHeldOpen(const std::string&) { return false; }

bool RewriteInPlace(const std::string& path, std::string_view contents) {
    if (InjectedFailure()) return false;
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.value < 0) return Failed();
    struct stat info;
    if (::fstat(file.value, &info) != 0 || !Writable(info)) return false;
    if (contents.size() > static_cast<size_t>(info.st_size)) {
        int reserved = ::posix_fallocate(file.value, 0, static_cast<off_t>(contents.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            errno = reserved;
            return Failed();
        }
    }
    if (!WriteAll(file.value, contents) ||
        ::ftruncate(file.value, static_cast<off_t>(contents.size())) != 0 ||
        ::fsync(file.value) != 0)
        return Failed();
    return file.Close() || Failed();
}

void FlushFolder(const std::string& folder) {
    Descriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.value >= 0) (void)::fsync(dir.value);
}

std::vector<std::string> FolderEntries(const std::string& folder, std::string_view prefix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.substr(0, prefix.size()) == prefix) names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

bool SamePath(const std::string& a, const std::string& b) { return Absolute(a) == Absolute(b); }

std::string AbsolutePath(const std::string& path) { return Absolute(path); }

// File names are plain bytes here: every text is written as it is, in either encoding.
bool ToBatchEncoding(std::string_view text, BatchEncoding, std::string& bytes) {
    bytes.assign(text);
    return true;
}

bool FromBatchEncoding(std::string_view bytes, BatchEncoding, std::string& text) {
    text.assign(bytes);
    return true;
}

}  // namespace platform
