// Plain forms of what the engine computes a faster way, for the tests, the fuzz targets and the
// benchmarks to compare it with.
#pragma once

#include <string>
#include <string_view>

// Takes the attribute text of one start tag (after the tag name and its whitespace, without
// the closing ">"), reads it as the page reader reads a tag, and returns it rebuilt by
// AppendMergedClassAttributes with every attribute named class (any case) merged. Returns the
// empty text when the text holds no class attribute and no "class=".
std::string MergeClassAttributes(std::string_view attributeText);

// The characters of `declarations`, lower-cased (Windows-1252), without space, tab, CR and
// LF, in ascending byte order: SameDeclarationKey tells whether two texts have equal keys.
std::string DeclarationKey(std::string_view declarations);

// The text lower-cased as AnsiLower does it.
std::string AnsiLowerCopy(std::string_view text);
