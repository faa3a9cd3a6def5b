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
