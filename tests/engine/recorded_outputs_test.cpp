// The outputs of whole runs, compared byte for byte (by hash) with the ones recorded in
// recorded_outputs.txt: the page, the style sheet and the restore script (its folder written
// FOLDER) for every corpus page, the project's own pages and generated benchmark pages, in
// both layouts. A change to the engine that changes what a run writes shows here. Corpus pages
// are written by others and kept outside the project: the record names each by a hash of its
// bytes, so that it holds none of their text and a page that changes is told as not recorded.
// After a deliberate change, record again and review the difference of the table:
//   STYLEWICK_RECORD_OUTPUTS=1 build/native/tests/stylewick-tests --gtest_filter='RecordedOutputs*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/page_generator.h"
#include "tests/support/byte_hash.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/page_run.h"

namespace engine {

namespace {

namespace fs = std::filesystem;

const std::string kRecordFile =
    std::string(STYLEWICK_SOURCE_DIR) + "/tests/engine/recorded_outputs.txt";

struct Source {
    std::string name;  // folder/page, corpus/HASH, or generated/KB-seed
    std::string file;  // the page's file, for messages
    std::string bytes;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void AddPagesOf(const fs::path& folder, const std::string& label, std::vector<Source>& sources,
                bool namedByHash = false) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.find(".htm") != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string bytes = ReadFile(folder / name);
        std::string key = label + "/" + (namedByHash ? ByteHash(bytes) : name);
        sources.push_back({key, (folder / name).string(), std::move(bytes)});
    }
}

bool UnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// Generated pages with the benchmark's mix of styles: 6,000 style attributes and 1,500
// distinct styles per MB. The 10 MB benchmark page is left to the uninstrumented build.
void AddGeneratedPages(std::vector<Source>& sources) {
    struct Shape {
        size_t kilobytes;
        uint32_t seed;
    } shapes[] = {{256, 2}, {256, 3}, {1024, 1}, {10240, 1}};
    for (const Shape& shape : shapes) {
        if (shape.kilobytes > 1024 && UnderSanitizer()) continue;
        PageShape page;
        page.sizeBytes = shape.kilobytes * 1024;
        page.styleAttributes = shape.kilobytes * 6000 / 1024;
        page.distinctStyles = shape.kilobytes * 1500 / 1024;
        page.seed = shape.seed;
        std::string name =
            "generated/" + std::to_string(shape.kilobytes) + "KB-seed" + std::to_string(shape.seed);
        sources.push_back({name, name, GeneratePage(page).text});
    }
}

std::vector<Source> Sources() {
    std::vector<Source> sources;
    if (HaveCorpus()) AddPagesOf(CorpusFolder(), "corpus", sources, true);
    AddPagesOf(fs::path(STYLEWICK_SOURCE_DIR) / "tests/render/pages", "render", sources);
    AddPagesOf(fs::path(STYLEWICK_SOURCE_DIR) / "samples", "samples", sources);
    AddGeneratedPages(sources);
    return sources;
}

// The script with the scratch folder, which differs from run to run, written FOLDER/.
std::string WithoutFolder(std::string script, const std::string& folder) {
    for (size_t at; (at = script.find(folder)) != std::string::npos;)
        script.replace(at, folder.size(), "FOLDER/");
    return script;
}

// One line of the record: what one run wrote, as error, sizes and hashes.
std::string OutputsLine(const Source& source, bool cleaned) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, source.bytes, cleaned, "styles.css", "page.htm");
    std::string script = WithoutFolder(run.script, folder.path());
    std::ostringstream line;
    line << source.name << ' ' << (cleaned ? "clean" : "no-clean") << " error "
         << static_cast<int>(run.outcome.error) << " page " << run.page.size() << ' '
         << ByteHash(run.page) << " sheet " << run.sheet.size() << ' ' << ByteHash(run.sheet)
         << " script " << script.size() << ' ' << ByteHash(script);
    return line.str();
}

// The recorded lines by their first two words (source and layout).
std::map<std::string, std::string> RecordedLines() {
    std::map<std::string, std::string> lines;
    std::istringstream record(ReadFile(kRecordFile));
    for (std::string line; std::getline(record, line);) {
        if (line.empty() || line[0] == '#') continue;
        lines[line.substr(0, line.find(' ', line.find(' ') + 1))] = line;
    }
    return lines;
}

TEST(RecordedOutputs, EveryRunWritesTheRecordedBytes) {
    std::vector<Source> sources = Sources();
    ASSERT_GE(sources.size(), 20u) << "project pages missing";
    if (std::getenv("STYLEWICK_RECORD_OUTPUTS") != nullptr) {
        ASSERT_FALSE(UnderSanitizer()) << "record with the uninstrumented build";
        ASSERT_TRUE(HaveCorpus()) << "record with the corpus, whose lines the record keeps";
        std::ofstream out(kRecordFile, std::ios::binary | std::ios::trunc);
        out << "# Outputs of whole runs: source layout error CODE page BYTES HASH sheet BYTES "
               "HASH script BYTES HASH\n"
               "# Written by recorded_outputs_test.cpp; see there how to record again.\n";
        for (const Source& source : sources)
            for (bool cleaned : {true, false}) out << OutputsLine(source, cleaned) << '\n';
        GTEST_SKIP() << "recorded " << kRecordFile;
    }
    std::map<std::string, std::string> recorded = RecordedLines();
    for (const Source& source : sources) {
        for (bool cleaned : {true, false}) {
            std::string line = OutputsLine(source, cleaned);
            auto found = recorded.find(line.substr(0, line.find(' ', line.find(' ') + 1)));
            ASSERT_NE(found, recorded.end()) << "not recorded: " << source.file << "\n" << line;
            EXPECT_EQ(line, found->second) << source.file;
        }
    }
    // Without the corpus the project's own pages are checked, and the test says what it left.
    if (!HaveCorpus())
        std::printf("[          ] corpus records not checked: no corpus in %s\n",
                    CorpusFolder().c_str());
}

}  // namespace

}  // namespace engine
