// A row of a table-driven test: an input text and the text an operation must make of it.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

struct TextCase {
    std::string input;
    std::string expected;
};

// A failing row of a parameterised test is named by its input.
inline void PrintTo(const TextCase& row, std::ostream* os) {
    *os << testing::PrintToString(row.input);
}
