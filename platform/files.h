// The few file services the engine needs. Paths and contents are byte strings in the
// ANSI code page; nothing is converted. One implementation per platform, chosen by the build.
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

// Copies a file, replacing any file of the target name.
bool CopyReplacing(const std::string& from, const std::string& to);

// Reads a whole file into `contents`. False when it cannot be opened or read.
bool ReadWhole(const std::string& path, std::string& contents);

// Creates or truncates a file and writes `contents` into it, opened without sharing.
bool WriteWhole(const std::string& path, std::string_view contents);

// Moves a file over another, replacing it in one step where the system allows.
bool MoveReplacing(const std::string& from, const std::string& to);

// Deletes a file. False when it could not be deleted (or did not exist).
bool Remove(const std::string& path);

// True when the two paths name the same file, as far as can be told without opening it:
// both made absolute, then compared as the file system compares names.
bool SamePath(const std::string& a, const std::string& b);

// Converts ANSI text to the code page that the command interpreter reads batch files in.
std::string ToBatchCodePage(std::string_view ansi);

// Test-only fault injection: when set to N > 0, the Nth file operation from now on fails
// (existence tests, copies, reads, writes, moves and deletions all count). 0 turns it off.
void FailOperationNumber(int n);

// Number of file operations counted since the last FailOperationNumber call.
int OperationsCounted();

}  // namespace files
