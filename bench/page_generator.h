// Generation of word-processor-like pages for the whole-run benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PageShape {
    size_t sizeBytes = 10 * 1024 * 1024;
    size_t styleAttributes = 60000;  // style= attributes outside comments, body tag included
    size_t distinctStyles = 15000;  // distinct declarations among them (case, spacing, order aside)
    uint32_t seed = 1;
    // Nonzero for a page of a template, as a word processor exports many from one: the header
    // CSS and half of the distinct styles come from `seed`, the other half and the body's text
    // and order from this one, so that pages of one template share their header and overlap in
    // their styles.
    uint32_t variantSeed = 0;
};

// What a run on the page must produce, so a benchmark can check its outputs by counts.
struct GeneratedPage {
    std::string text;
    size_t headerRules = 0;  // rules of the header style block
    size_t unusedHeaderRules =
        0;  // header rules whose class the page never names (selector "UnusedRule...")
    size_t styleAttributes = 0;  // style= attributes outside comments
    size_t distinctStyles = 0;
    size_t reusedStyles = 0;      // distinct styles equal to a header rule of one class selector
    size_t inlineClasses = 0;     // distinct styles that need a generated class
    size_t inlineReferences = 0;  // style attributes that end up naming a generated class
    size_t commentedStyles = 0;   // style= texts inside comments, which must stay
};

// Builds a page deterministically from the shape: the same shape gives the same bytes. The page
// has exactly sizeBytes bytes unless the style attributes alone need more room.
GeneratedPage GeneratePage(const PageShape& shape);
