#include "tests/support/corpus_pages.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string& CorpusSetting() {
    static std::string folder;
    return folder;
}

// A folder given as a Unix path, as this platform names it: under Wine the Unix root is
// drive Z:.
std::string PlatformPath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    std::string platformPath = std::filesystem::path(path).make_preferred().string();
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (platformPath.empty() || platformPath.back() != separator) platformPath += separator;
    return platformPath;
}

}  // namespace

std::string CorpusFolder() {
    if (!CorpusSetting().empty()) return PlatformPath(CorpusSetting());
    const char* fromEnvironment = std::getenv("STYLEWICK_CORPUS");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0')
        return PlatformPath(fromEnvironment);
    return PlatformPath(STYLEWICK_CORPUS_DIR);
}

void SetCorpusFolder(std::string_view folder) { CorpusSetting() = std::string(folder); }

bool HaveCorpus() { return std::filesystem::is_directory(std::filesystem::u8path(CorpusFolder())); }

std::string ProjectWordPage() {
    std::ifstream in(PlatformPath(STYLEWICK_SOURCE_DIR) + "samples" +
                         static_cast<char>(std::filesystem::path::preferred_separator) +
                         "sample-page.html",
                     std::ios::binary);
    if (!in) throw std::runtime_error("the project's sample page is missing");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string CorpusPage(std::string_view name) {
    std::ifstream in(CorpusFolder() + std::string(name), std::ios::binary);
    if (!in) throw std::runtime_error("corpus page missing: " + std::string(name));
    return std::string(std::istreambuf_iterator<char>(in), {});
}
