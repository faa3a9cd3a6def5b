// The few file services the engine needs. Paths are UTF-8 text (Windows gets them through its
// wide-character functions, long ones included); contents are bytes, never converted, and only
// the batch encodings below convert text. One implementation per platform, chosen by the build.
#pragma once

#include <string>
#include <string_view>

namespace files {

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

// Moves a file over another, replacing it in one step where the system allows. A target that
// another program holds open, letting others write it, gets the new bytes in place (Windows).
bool MoveReplacing(const std::string& from, const std::string& to);

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

}  // namespace files
