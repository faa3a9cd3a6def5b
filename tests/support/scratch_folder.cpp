#include "tests/support/scratch_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A UTF-8 path as std::filesystem takes it (on Windows, through the wide functions).
fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::mt19937 names{std::random_device{}()};
    const fs::path temporary = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        fs::path folder = temporary / ("stylewick-test-" + std::to_string(names()));
        if (fs::create_directory(folder)) path_ = folder.make_preferred().u8string() + kSeparator;
    }
    if (path_.empty()) throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // On Windows a read-only file would outlive the folder. A destructor must not throw: the
    // walk stops at the first error.
    for (fs::recursive_directory_iterator entry(PathOf(path_), ignored), end;
         !ignored && entry != end; entry.increment(ignored))
        fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove_all(PathOf(path_), ignored);
}

std::string ScratchFolder::Subfolder(std::string_view name) const {
    std::string folder = File(name);
    fs::create_directories(PathOf(folder));
    return folder.empty() || folder.back() == kSeparator ? folder : folder + kSeparator;
}

void ScratchFolder::Write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(PathOf(File(name)), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + File(name));
}

std::string ScratchFolder::Read(std::string_view name) const {
    std::ifstream in(PathOf(File(name)), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + File(name));
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool ScratchFolder::Has(std::string_view name) const { return fs::exists(PathOf(File(name))); }

std::string ScratchFolder::Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathOf(path_)))
        names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const auto& name : names) listing += name + "\n";
    return listing;
}

std::map<std::string, std::string> ScratchFolder::Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(PathOf(path_))) {
        if (!entry.is_regular_file()) continue;
        std::string name = fs::relative(entry.path(), PathOf(path_)).u8string();
        files[name] = Read(name);
    }
    return files;
}
