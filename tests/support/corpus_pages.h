// The shared corpus of real pages written by others, which some tests run through.
#pragma once

#include <string>
#include <string_view>

// The corpus folder, ending in the platform's separator: the one set by SetCorpusFolder, else
// the environment's STYLEWICK_CORPUS, else the folder configured at build time.
std::string CorpusFolder();
void SetCorpusFolder(std::string_view folder);

// The bytes of one corpus page; throws when it is missing.
std::string CorpusPage(std::string_view name);

// Whether the corpus folder is there: a clone of the project alone has none. A test that needs
// its pages begins with SKIP_WITHOUT_CORPUS(), which skips it with one line naming the folder.
bool HaveCorpus();
#define SKIP_WITHOUT_CORPUS()                                              \
    if (!HaveCorpus())                                                     \
    GTEST_SKIP() << "no corpus of third-party pages in " << CorpusFolder() \
                 << " (STYLEWICK_CORPUS=FOLDER names one)"

// A page exported by a word processor that the project wrote itself (samples/sample-page.html),
// for the tests that need some such page and not a particular one.
std::string ProjectWordPage();
