// Sorting 1,000,000 lines against `LC_ALL=C sort` on the same file.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "null_context.h"
#include "ops/dispatch.h"
#include "ops/lines/line_sort.h"
#include "text/utf8.h"

namespace {

using kivo::bench::NullContext;

constexpr int kLines = 1'000'000;

// Lines of 4 to 40 characters drawn from ASCII and kana, with repeats and shared prefixes.
const kivo::Text& sampleLines() {
    static const kivo::Text text = [] {
        std::mt19937 random(20240501);
        const std::u16string alphabet =
            u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789あいうえおカキクケコ";
        std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
        std::uniform_int_distribution<int> length(4, 40);
        kivo::Text t;
        for (int i = 0; i < kLines; ++i) {
            if (i % 10 == 0) t += u"item-";
            for (int n = length(random); n > 0; --n)
                t.push_back(alphabet[letter(random)]);
            t += u"\r\n";
        }
        t.resize(t.size() - 2);
        return t;
    }();
    return text;
}

std::string sampleFile() {
    static const std::string path = [] {
        const std::string p = "/tmp/kivo_sort_bench_" + std::to_string(::getpid()) + ".txt";
        std::ofstream(p, std::ios::binary) << kivo::utf8::encode(sampleLines());
        std::atexit([] { std::remove(sampleFile().c_str()); });
        return p;
    }();
    return path;
}

void sortLines(benchmark::State& state) {
    const kivo::OptionTexts p = kivo::bench::optionsOf(kivo::kSortLines);
    NullContext ctx;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::dispatch(kivo::kSortLines, sampleLines(), p, ctx));
    state.counters["lines"] = kLines;
}

// The other direction sorts the complements of the same keys.
void sortLinesDescending(benchmark::State& state) {
    const kivo::OptionTexts p = kivo::bench::optionsOf(kivo::kSortLines, {{"Combo20", u"降順でソートする"}});
    NullContext ctx;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::dispatch(kivo::kSortLines, sampleLines(), p, ctx));
    state.counters["lines"] = kLines;
}

// GNU sort reads the same lines as UTF-8 and writes them to /dev/null.
void gnuSort(benchmark::State& state) {
    const std::string command = "LC_ALL=C sort " + sampleFile() + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
    state.counters["lines"] = kLines;
}

BENCHMARK(sortLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(sortLinesDescending)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(gnuSort)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
