// A fresh temporary folder for one test, removed with everything in it afterwards. The same on
// every platform: paths use the platform's separator, names are UTF-8 as in the program (on
// POSIX, bytes), bytes are written and read unchanged. Paths longer than MAX_PATH rely on the
// system taking them (Linux and Wine do, Windows only with long paths enabled), and the MinGW
// runtime cannot walk such a folder to remove it: the test that makes one removes it itself.
#pragma once

#include <map>
#include <string>
#include <string_view>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in the platform's separator.
    const std::string& path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + std::string(name); }

    // Creates the subfolder `name` and those on its way; returns its path, ending in the
    // separator.
    std::string Subfolder(std::string_view name) const;
    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;
    bool Has(std::string_view name) const;
    // Names of the files in the folder, sorted, one a line.
    std::string Listing() const;
    // Every file in the folder and its subfolders, by its path from the folder, with its bytes.
    std::map<std::string, std::string> Files() const;

private:
    std::string path_;
};
