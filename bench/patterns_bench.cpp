// Regular-expression replacement and CSV sorting on 1,000,000 lines, against `sed -E` and
// `LC_ALL=C sort -t, -k3` on the same text written out as UTF-8.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "text/csv.h"
#include "text/regex.h"
#include "text/utf8.h"

namespace {

using kivo::Text;

constexpr int kLines = 1'000'000;

// Comma-separated rows of 4 to 9 fields of kana, kanji, ASCII words and numbers, no quotes.
const Text& sampleRows() {
    static const Text text = [] {
        std::mt19937 random(20240501);
        const std::u16string words[] = {u"あいう", u"カタカナ", u"東京", u"item",
                                        u"price",  u"在庫",     u"order"};
        std::uniform_int_distribution<int> word(0, std::size(words) - 1);
        std::uniform_int_distribution<int> fields(4, 9);
        std::uniform_int_distribution<int> number(0, 99999);
        Text t;
        for (int i = 0; i < kLines; ++i) {
            for (int n = fields(random); n > 0; --n) {
                t += words[word(random)];
                if (n % 3 == 0) t += kivo::utf8::decode(std::to_string(number(random))).value();
                t += n > 1 ? u"," : u"\r\n";
            }
        }
        return t;
    }();
    return text;
}

std::string sampleFile() {
    static const std::string path = [] {
        const std::string p = "/tmp/kivo_patterns_bench_" + std::to_string(::getpid()) + ".csv";
        std::ofstream(p, std::ios::binary) << kivo::utf8::encode(sampleRows());
        std::atexit([] { std::remove(sampleFile().c_str()); });
        return p;
    }();
    return path;
}

void regexReplace(benchmark::State& state) {
    kivo::Regex regex(u"([0-9]+)");
    const kivo::RegexReplacement replacement(u"<$1>", regex);
    const kivo::RegexReplaceOptions options{.scope = state.range(0) ? kivo::RegexScope::WholeText
                                                                    : kivo::RegexScope::LineByLine};
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::replaceMatches(sampleRows(), regex, replacement, options, {}));
    state.counters["lines"] = kLines;
}

void sedReplace(benchmark::State& state) {
    sampleFile();
    const std::string command = "LC_ALL=C sed -E 's/([0-9]+)/<\\1>/g' " + sampleFile() + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("sed failed");
    state.counters["lines"] = kLines;
}

void csvSort(benchmark::State& state) {
    sampleRows();
    for (auto _ : state) {
        const std::optional<kivo::CsvTable> table =
            kivo::CsvTable::read(sampleRows(), u',', kivo::MalformedRows::Stop, {});
        benchmark::DoNotOptimize(kivo::sortRows(*table, {.column = 2, .order = {}}, u',', {}));
    }
    state.counters["lines"] = kLines;
}

void gnuSortByColumn(benchmark::State& state) {
    sampleFile();
    const std::string command = "LC_ALL=C sort -t, -k3 " + sampleFile() + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
    state.counters["lines"] = kLines;
}

BENCHMARK(regexReplace)->Arg(0)->Arg(1)->ArgName("whole")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(sedReplace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(csvSort)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(gnuSortByColumn)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
