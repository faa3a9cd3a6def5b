// Throughput of the text operations on inputs shaped like word-processor pages.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/class_attributes.h"
#include "engine/declaration_key.h"
#include "engine/rule_parsing.h"
#include "tests/support/reference_forms.h"

namespace {

// Declarations as word processors write them in style blocks and style attributes.
const std::vector<std::string> kDeclarations = {
    "margin-left:36.0pt;text-indent:-18.0pt;mso-list:l3 level1 lfo3;tab-stops:list 36.0pt",
    "mso-style-parent:\"\";\r\n\tmargin:0cm;\r\n\tmargin-bottom:.0001pt;\r\n"
    "\tmso-pagination:widow-orphan;\r\n\tfont-size:12.0pt;\r\n\tfont-family:\"Times New "
    "Roman\";\r\n\tmso-fareast-font-family:\"Times New Roman\";",
    "font-size:10.0pt;font-family:Arial;color:#1F497D",
    "size:595.3pt 841.9pt;\r\n\tmargin:72.0pt 89.85pt 72.0pt 89.85pt;\r\n\t"
    "mso-header-margin:36.0pt;\r\n\tmso-footer-margin:36.0pt;\r\n\tmso-paper-source:0;",
};

// Attribute texts of tags that received a generated class.
const std::vector<std::string> kAttributeTexts = {
    "class=MsoNormal class=inlineClass001",
    "class=MsoNormal\r\nclass=inlineClass012 align=center",
    "width=200 height=100 src=\"image001.gif\" alt=\"Photo of the river\r\nat dawn\" "
    "class=inlineClass003 v:shapes=\"_x0000_i1025\"",
    "class=MsoTableGrid border=1 cellspacing=0 cellpadding=0\r\n class=inlineClass104 "
    "style='border-collapse:collapse;border:none' title='say \"hi\"'",
    "href=\"http://example.com/a.php?x=1&amp;y=2\" class=inlineClass002 target=_blank",
};

// Runs `operation` over every text of `texts`, counting their bytes.
void OverEachText(benchmark::State& state, std::string (*operation)(std::string_view),
                  const std::vector<std::string>& texts) {
    int64_t size = 0;
    for (const std::string& text : texts) size += static_cast<int64_t>(text.size());
    for (auto _ : state)
        for (const std::string& text : texts) benchmark::DoNotOptimize(operation(text));
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_DeclarationKey(benchmark::State& state) {
    OverEachText(state, DeclarationKey, kDeclarations);
}
BENCHMARK(BM_DeclarationKey);

// One declarations text of growing size: the cost per byte must stay flat.
void BM_DeclarationKeyLong(benchmark::State& state) {
    std::string text;
    while (text.size() < static_cast<size_t>(state.range(0))) text += kDeclarations[1];
    for (auto _ : state) benchmark::DoNotOptimize(DeclarationKey(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DeclarationKeyLong)->RangeMultiplier(16)->Range(1 << 10, 1 << 22);

void BM_MergeClassAttributes(benchmark::State& state) {
    OverEachText(state, MergeClassAttributes, kAttributeTexts);
}
BENCHMARK(BM_MergeClassAttributes);

// One tag with a growing number of attributes: the cost per byte must stay flat.
void BM_MergeClassAttributesLong(benchmark::State& state) {
    std::string text = "class=MsoNormal";
    for (int i = 0; text.size() < static_cast<size_t>(state.range(0)); ++i)
        text += "\r\ndata-" + std::to_string(i) + "='value " + std::to_string(i) + "' class=c";
    for (auto _ : state) benchmark::DoNotOptimize(MergeClassAttributes(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MergeClassAttributesLong)->RangeMultiplier(16)->Range(1 << 10, 1 << 22);

// A style block of growing size, rules separated by comments.
void BM_ParseHeaderRules(benchmark::State& state) {
    std::string css;
    for (int i = 0; css.size() < static_cast<size_t>(state.range(0)); ++i)
        css += " /* Style " + std::to_string(i) + " */\r\np.Style" + std::to_string(i) + "\r\n\t{" +
               kDeclarations[1] + "}\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(engine::ParseHeaderRules(css));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(css.size()));
}
BENCHMARK(BM_ParseHeaderRules)->RangeMultiplier(16)->Range(1 << 10, 1 << 22);

}  // namespace

BENCHMARK_MAIN();
