// The few file services the engine needs. Paths are UTF-8 text (Windows gets them through its
// wide-character functions, long ones included); contents are bytes, never converted, and only
// the batch encodings below convert text. One implementation per platform, chosen by the build.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Characters that end a folder name in a path.
extern const std::string_view kFolderSeparators;

// True when the file system reports attributes for the path (a file or a folder).
bool Exists(const std::string& path);

// True when the path names a folder.
bool IsFolder(const std::string& path);

enum class ReadResult { Read, Missing, Failed };

// Reads a whole file that may not be there, also while another program holds it open for
// reading or writing: Missing when no file has that name, Failed when one may be there but
// cannot be read (a folder, a file that another program keeps to itself...).
ReadResult ReadIfPresent(const std::string& path, std::string& contents);

// Reads a whole file into `contents`. False when it cannot be opened or read.
inline bool ReadWhole(const std::string& path, std::string& contents) {
    return ReadIfPresent(path, contents) == ReadResult::Read;
}

// Creates or truncates a file and writes `contents` into it, opened without sharing.
bool WriteWhole(const std::string& path, std::string_view contents);

// Moves a file over another in one step. A target without any write permission (read-only on
// Windows) is the user's wish to keep it, and is not replaced.
bool MoveReplacing(const std::string& from, const std::string& to);

// True when the last file operation that failed on this thread failed for want of disk space.
bool LastFailureWasDiskFull();

// ---- What a run's transaction needs -------------------------------------------------------

// A held lock on a folder: one run at a time writes there. A plain handle, released by
// UnlockFolder and by the system when the process ends, however it ends; it leaves no file.
struct FolderLock {
    std::intptr_t handle = -1;
};
enum class LockResult { Locked, Busy, Failed };
LockResult TryLockFolder(const std::string& folder, FolderLock& lock);
void UnlockFolder(FolderLock& lock);

// Every name of a run's temporary files starts with this, then a random part.
extern const std::string_view kTemporaryPrefix;

// 16 random lower-case hex digits, for names no other run gives.
std::string RandomNamePart();

// Creates a new file with a name no other file has (the prefix, a random part, then `suffix`)
// in the folder of `target`, exclusively and without following a link planted at that name,
// writes `contents` and flushes it to disk. When `modelFile` is given, the new file first takes
// its mode, owner, group and extended attributes, as far as the process may set them.
// `temporary` receives the name; false when it could not be written (it is then gone).
bool WriteTemporary(const std::string& target, std::string_view contents, std::string& temporary,
                    const std::string* modelFile = nullptr, std::string_view suffix = ".tmp");

// Moves a file to a name that must be free: false, moving nothing, when a file has it.
bool MoveNew(const std::string& from, const std::string& to);

// Moves `from` over `to`, keeping the file that `to` named at the free name `aside` (a second
// link to it where the file system has them, else renamed): renaming `aside` back undoes it.
bool ReplaceKeeping(const std::string& from, const std::string& to, const std::string& aside);

// A second name for an existing file (a hard link). False where the file system has none.
bool LinkNew(const std::string& existing, const std::string& link);

// The number of names (hard links) the file has; 1 when it cannot be told.
int LinkCount(const std::string& path);

// The file that a path names once symbolic links are followed (absolute); the path itself when
// it is no link or cannot be resolved.
std::string ResolvedPath(const std::string& path);

// Moves the new page over the page, which keeps its metadata (on Windows its ACL, attributes,
// creation time and streams).
bool ReplacePage(const std::string& from, const std::string& to);

// True when another program holds the file open without letting it be replaced (Windows): it
// can then only be rewritten in place.
bool IsHeldOpen(const std::string& path);

// Makes an existing file hold exactly `contents`, keeping its identity (its hard links):
// space for the new bytes is reserved first where the system allows, so that a full disk
// fails before any byte changes.
bool RewriteInPlace(const std::string& path, std::string_view contents);

// Flushes a folder's entries (the renames in it) to disk, where the system allows.
void FlushFolder(const std::string& folder);

// The names of the entries of a folder that start with `prefix`.
std::vector<std::string> FolderEntries(const std::string& folder, std::string_view prefix);

// Deletes a file. False when it could not be deleted (or did not exist).
bool Remove(const std::string& path);

// True when the two paths name the same file, as far as can be told without opening it:
// both made absolute, then compared as the file system compares names.
bool SamePath(const std::string& a, const std::string& b);

// The path made absolute from the current folder; unchanged when it cannot be.
std::string AbsolutePath(const std::string& path);

// How a batch file can be written: in the code page the command interpreter reads batch
// files in (the OEM code page on Windows), or in UTF-8 after "chcp 65001".
enum class BatchEncoding { OemCodePage, Utf8 };

// The program's text in a batch encoding. False when a character cannot be written as
// itself (it would become "?" or a look-alike); `bytes` is then not to be used.
bool ToBatchEncoding(std::string_view text, BatchEncoding encoding, std::string& bytes);

// A batch file's bytes as the program's text. False when they are not valid in the encoding
// or a character has no exact equivalent in the program's text.
bool FromBatchEncoding(std::string_view bytes, BatchEncoding encoding, std::string& text);

// Test-only fault injection: when set to N > 0, the Nth file operation from now on fails
// (existence tests, reads, writes, moves and deletions all count). 0 turns it off.
void FailOperationNumber(int n);

// Number of file operations counted since the last FailOperationNumber call.
int OperationsCounted();

}  // namespace platform
