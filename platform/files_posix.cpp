#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/fault_injection.h"
#include "platform/files.h"

namespace files {

const std::string_view kFolderSeparators = "/";

namespace {

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
    if (name == "..") return Absolute(result + "/..");
    return result + (result.back() == '/' ? "" : "/") + name;
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
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents);
    ok = (::fsync(fd) == 0) && ok;
    return (::close(fd) == 0) && ok;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (InjectedFailure()) return false;
    struct stat target;
    if (::stat(to.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode)) return false;
        // A file without any write permission is the user's wish to keep it, even for root.
        if ((target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) {
    if (InjectedFailure()) return false;
    return ::unlink(path.c_str()) == 0;
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

}  // namespace files
