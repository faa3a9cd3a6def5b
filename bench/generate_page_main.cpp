// generate-page SIZE_MB OUT.html [STYLES DISTINCT]: writes one generated page and says what a
// run on it must produce. Without STYLES and DISTINCT the page has 6,000 style attributes and
// 1,500 distinct styles per MB (1 MB = 2^20 bytes), the mix of the 10 MB benchmark page.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/page_generator.h"

namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;
constexpr double kStylesPerMb = 6000;
constexpr double kDistinctPerMb = 1500;

int Usage() {
    std::fprintf(stderr, "usage: generate-page SIZE_MB OUT.html [STYLES DISTINCT]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) return Usage();
    double sizeMb = std::atof(argv[1]);
    if (sizeMb <= 0) return Usage();
    PageShape shape;
    shape.sizeBytes = static_cast<size_t>(sizeMb * kBytesPerMb);
    shape.styleAttributes = static_cast<size_t>(sizeMb * kStylesPerMb);
    shape.distinctStyles = static_cast<size_t>(sizeMb * kDistinctPerMb);
    if (argc == 5) {
        shape.styleAttributes = std::strtoull(argv[3], nullptr, 10);
        shape.distinctStyles = std::strtoull(argv[4], nullptr, 10);
    }
    GeneratedPage page = GeneratePage(shape);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(page.text.data(), static_cast<std::streamsize>(page.text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "generate-page: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf(
        "bytes %zu\nheader rules %zu (unused %zu)\nstyle attributes %zu\ndistinct styles %zu"
        " (reusing a header class %zu)\ninline classes %zu\ninline references %zu\n"
        "style= in comments %zu\n",
        page.text.size(), page.headerRules, page.unusedHeaderRules, page.styleAttributes,
        page.distinctStyles, page.reusedStyles, page.inlineClasses, page.inlineReferences,
        page.commentedStyles);
    return 0;
}
