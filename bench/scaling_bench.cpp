// Every operation at n, 2n, 4n and 8n units of work, through the dispatch table as a run would
// call it. compare.sh prints the time ratio of each doubling: about 2 for linear work, a little
// more for the sort, 4 for quadratic work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "null_context.h"
#include "ops/dispatch.h"
#include "ops/registry.h"

namespace {

using kivo::Text;
using kivo::bench::NullContext;

// Lines of the smallest size; the largest run has eight times as many. Even the smallest text,
// with its copies, is larger than a last-level cache of 48 MB: below that the doubling from a
// size that fits to one that does not would look like more than linear growth.
constexpr std::int64_t kBaseLines = 250'000;

constexpr std::int64_t kMaxScale = 8;

// Mixed kana, kanji, ASCII words and numbers, as the lines of compare.sh: the lines of the largest
// size, of which every smaller size is a prefix (one text in memory rather than one per size, which
// would make the largest sizes pay for the memory of the others), and where each line ends.
struct Sample {
    Text lines;
    std::vector<std::size_t> ends;  // after the CrLf of each line
    Text joined;                    // the same characters without the line breaks
};

const Sample& sample() {
    static const Sample made = [] {
        std::mt19937 random(20240501);
        const std::u16string kana =
            u"あいうえおかきくけこさしすせそたちつてとなにぬねのアイウエオカキクケコ日本語文字列変換";
        const std::vector<std::u16string> ascii = {u"item", u"stock", u"price", u"yen", u"pcs", u"order"};
        std::uniform_int_distribution<int> kind(0, 9), len(1, 4), words(4, 9), number(0, 99'999);
        std::uniform_int_distribution<std::size_t> letter(0, kana.size() - 1), word(0, ascii.size() - 1);
        Sample s;
        Text& t = s.lines;
        for (std::int64_t i = 0; i < kBaseLines * kMaxScale; ++i) {
            if (i % 10 == 0) t += u"item-";
            for (int w = words(random); w > 0; --w) {
                const int k = kind(random);
                if (k < 5) {
                    for (int n = len(random); n > 0; --n)
                        t.push_back(kana[letter(random)]);
                } else if (k < 8) {
                    t += ascii[word(random)];
                } else {
                    const std::string digits = std::to_string(number(random));
                    t.append(digits.begin(), digits.end());
                }
                if (w > 1) t.push_back(k == 9 ? u'\t' : u' ');
            }
            t += u"\r\n";
            s.ends.push_back(t.size());
        }
        s.joined = t;
        std::erase_if(s.joined, [](char16_t c) { return c == u'\r' || c == u'\n'; });
        return s;
    }();
    return made;
}

// The first `count` lines, each ending with CrLf.
kivo::TextView mixedLines(std::int64_t count) {
    return kivo::TextView(sample().lines).substr(0, sample().ends[static_cast<std::size_t>(count) - 1]);
}

// One line of the same characters, as long as `count` lines would be without their breaks.
kivo::TextView oneLine(std::int64_t count) {
    const std::size_t units =
        sample().ends[static_cast<std::size_t>(count) - 1] - 2 * static_cast<std::size_t>(count);
    return kivo::TextView(sample().joined).substr(0, units);
}

enum class Input {
    Lines,    // the upper text has n lines
    OneLine,  // the upper text is one line as long as n lines
    Count,    // a fixed upper text; the control `counted` holds n
};

struct Case {
    int code;
    const char* name;
    Input input = Input::Lines;
    std::vector<std::pair<const char*, const char16_t*>> params = {};
    const char* counted = nullptr;
    const char16_t* upper = u"";
    // For counted cases: n for the smallest size (the date ranges bound some of them).
    std::int64_t countBase = 250'000;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {0, "reverse-whole"},
        {0, "reverse-lines", Input::Lines, {{"Combo41", u"数行おきにリバースする"}, {"Combo42", u"1"}}},
        {1, "count-characters"},
        {1,
         "count-bytes",
         Input::Lines,
         {{"Combo39", u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)"}}},
        {2, "special-tab", Input::Lines, {{"Combo40", u"Tab(タブ)"}, {"Text26", u"    "}}},
        {3, "count-letter-class"},
        {4, "add-text", Input::Lines, {{"Text3", u"> "}}},
        {5, "replace-digits", Input::Lines, {{"Text4", u"#"}}},
        {6, "replace-end-characters", Input::Lines, {{"Text5", u"#"}}},
        {7, "replace-beside-found", Input::Lines, {{"Text7", u"item"}, {"Text8", u"#"}}},
        {8, "extract-digits"},
        {9, "extract-double-byte"},
        {10, "extract-half-width"},
        {11, "indent-with-tab"},
        {12, "filter-lines", Input::Lines, {{"Text13", u"item-"}}},
        {13, "count-lines"},
        {14, "extract-last-line", Input::Count, {}, "Text11"},
        // Ends by itself after 255 repeated characters: what grows with the text is the copy and
        // the line-break check before the loop.
        {15, "duplicate-check", Input::OneLine},
        {16, "replace-odd-lines", Input::Lines, {{"Text12", u"#"}}},
        {17, "insert-at-position", Input::Lines, {{"Text14", u"#"}, {"Combo3", u"2"}}},
        {18, "break-every-n", Input::OneLine, {{"Combo5", u"80"}}},
        {19, "replace-all-ranges", Input::Lines, {{"Text16", u"item"}, {"Text17", u" "}, {"Text18", u"#"}}},
        {20, "replace-range", Input::Lines, {{"Text19", u"item"}, {"Text20", u" "}, {"Text21", u"#"}}},
        {21, "replace-by-position", Input::Lines, {{"Text34", u"#"}}},
        {22, "every-nth-line", Input::Lines, {{"Combo9", u"1"}}},
        {23, "every-nth-remainder", Input::Lines, {{"Combo11", u"1"}}},
        {24, "extract-from-side", Input::Lines, {{"Combo13", u"2"}}},
        {25, "remainder-from-side", Input::Lines, {{"Combo15", u"2"}}},
        {26,
         "loop-generator",
         Input::Count,
         {{"Check1(0)", u"1"}, {"Check1(1)", u"1"}},
         "Text6",
         u"item No.1, stock 1000 pcs, price 250 yen\r\n"},
        {27, "sort"},
        {28, "running-numbers"},
        {29, "copies-counted", Input::Count, {}, "Text41", u"item No.1, stock 1000 pcs, price 250 yen"},
        {30, "replace-around-found", Input::Lines, {{"Text15", u" "}, {"Text22", u"#"}}},
        {31, "date-series", Input::Count, {}, "Text24", u"2000/01/01", 25'000},
        {32, "month-ends", Input::Count, {{"DTPicker1", u"0100/01/01"}}, "Text27", u"", 12'000},
        {33, "first-weekdays", Input::Count, {{"DTPicker2", u"0100/01/01"}}, "Text28", u"", 12'000},
        {34, "weekday-dates", Input::Count, {{"DTPicker3", u"0100/01/01"}}, "Text29", u"", 12'000},
        {35, "convert-width"},
        {36, "convert-kana"},
        {37, "duplicate-lines"},
        {38, "clean-blanks"},
        {39, "natural-sort"},
        {40, "shift-jis-check"},
        {41, "fold-bytes", Input::OneLine, {{"Combo65", u"80"}}},
        {41, "fold-bytes-line-rules", Input::OneLine, {{"Combo65", u"80"}, {"Check5(5)", u"1"}}},
        {42, "convert-dates"},
        {44, "legacy-characters", Input::Lines, {{"Combo70", u"標準の文字に置き換える"}}},
        {45, "kanji-numerals", Input::Lines, {{"Combo71", u"数字→漢数字(二千二十四)"}}},
    };
    return all;
}

Text decimal(std::int64_t v) {
    const std::string s = std::to_string(v);
    return Text(s.begin(), s.end());
}

void runCase(benchmark::State& state, const Case& c) {
    const std::int64_t scale = state.range(0);  // 1, 2, 4 or 8
    const kivo::OperationDeclaration& op = kivo::operation(c.code);
    std::vector<std::pair<std::string, Text>> settings;
    for (const auto& [name, value] : c.params)
        settings.emplace_back(name, value);
    kivo::OptionTexts params = kivo::bench::optionsOf(op, settings);
    kivo::TextView upper;
    switch (c.input) {
        case Input::Lines:
            upper = mixedLines(kBaseLines * scale);
            break;
        case Input::OneLine:
            upper = oneLine(kBaseLines * scale);
            break;
        case Input::Count:
            upper = c.upper;
            params.set(op.paramCalled(c.counted)->option, decimal(c.countBase * scale));
            break;
    }
    // Extracting the last line walks every line before it.
    if (c.code == 14) upper = mixedLines(kBaseLines * scale);
    NullContext ctx;
    std::size_t units = 0;
    for (auto _ : state) {
        const kivo::DispatchResult r = kivo::dispatch(op, upper, params, ctx);
        units = r.lower ? r.lower->size() : 0;
        benchmark::DoNotOptimize(r);
    }
    // A case that produced nothing measured a refusal, not the operation.
    state.counters["out_units"] = static_cast<double>(units);
}

const bool registered = [] {
    for (const Case& c : cases()) {
        char number[4];
        std::snprintf(number, sizeof number, "%02d", c.code);
        const std::string name = std::string("scaling/") + number + "-" + c.name;
        benchmark::RegisterBenchmark(name.c_str(), [&c](benchmark::State& s) { runCase(s, c); })
            ->RangeMultiplier(2)
            ->Range(1, kMaxScale)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.1)
            // On a machine shared with other work the least of three runs is the steadiest.
            ->Repetitions(3)
            ->ComputeStatistics(
                "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
            ->ReportAggregatesOnly(true);
    }
    return true;
}();

}  // namespace
