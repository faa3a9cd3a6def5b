// A fresh temporary folder for one test, removed with everything in it afterwards.
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

    // The folder, ending in "/".
    const std::string& path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + std::string(name); }

    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;
    bool Has(std::string_view name) const;
    // Names of the files in the folder, sorted.
    std::string Listing() const;
    // Every file in the folder and its subfolders, by its path from the folder, with its bytes.
    std::map<std::string, std::string> Files() const;

private:
    std::string path_;
};

// The bytes of a page of the shared corpus of real pages.
std::string CorpusPage(std::string_view name);
std::string CorpusFolder();
