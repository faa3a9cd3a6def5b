#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "stylewick-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    char* made = ::mkdtemp(buffer.data());
    if (made == nullptr) throw std::runtime_error("cannot create a scratch folder");
    path_ = std::string(made) + "/";
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchFolder::Write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + File(name));
}

std::string ScratchFolder::Read(std::string_view name) const {
    std::ifstream in(File(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + File(name));
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool ScratchFolder::Has(std::string_view name) const { return fs::exists(File(name)); }

std::string ScratchFolder::Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const auto& name : names) listing += name + "\n";
    return listing;
}

std::map<std::string, std::string> ScratchFolder::Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(path_)) {
        if (!entry.is_regular_file()) continue;
        std::string name = fs::relative(entry.path(), path_).string();
        files[name] = Read(name);
    }
    return files;
}

std::string CorpusFolder() { return STYLEWICK_CORPUS_DIR "/"; }

std::string CorpusPage(std::string_view name) {
    std::ifstream in(CorpusFolder() + std::string(name), std::ios::binary);
    if (!in) throw std::runtime_error("corpus page missing: " + std::string(name));
    return std::string(std::istreambuf_iterator<char>(in), {});
}
