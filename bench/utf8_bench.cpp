// The command line converts every input from UTF-8 and every result back: both directions on
// 50 MB of mixed kana, kanji and ASCII.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

#include "text/utf8.h"

namespace {

const std::u16string& mixedText() {
    static const std::u16string text = [] {
        std::mt19937 random(7);
        const std::u16string kana = u"あいうえおかきくけこアイウエオカキクケコ日本語文字列変換";
        const std::u16string ascii = u"abcdefghijklmnopqrstuvwxyz0123456789";
        std::uniform_int_distribution<int> kind(0, 9), len(1, 6);
        std::u16string t;
        while (t.size() < 25'000'000) {
            const std::u16string& from = kind(random) < 6 ? kana : ascii;
            std::uniform_int_distribution<std::size_t> pick(0, from.size() - 1);
            for (int n = len(random); n > 0; --n)
                t.push_back(from[pick(random)]);
            t.push_back(kind(random) == 0 ? u'\n' : u' ');
        }
        return t;
    }();
    return text;
}

void decodeMixed(benchmark::State& state) {
    const std::string bytes = kivo::utf8::encode(mixedText());
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::utf8::decode(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void encodeMixed(benchmark::State& state) {
    const std::u16string& text = mixedText();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string out = kivo::utf8::encode(text);
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(decodeMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeMixed)->Unit(benchmark::kMillisecond);

}  // namespace
