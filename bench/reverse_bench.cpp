// Throughput of the operations on large texts.
#include <benchmark/benchmark.h>

#include "null_context.h"
#include "ops/dispatch.h"
#include "ops/characters/reverse.h"

namespace {

using kivo::bench::NullContext;

kivo::Text sampleText(std::size_t units) {
    kivo::Text t;
    t.reserve(units);
    const kivo::Text line = u"あいうえおかきくけこ abcdefghij 0123456789\r\n";
    while (t.size() + line.size() <= units)
        t += line;
    return t;
}

void reverse(benchmark::State& state, const char16_t* mode) {
    const kivo::Text text = sampleText(static_cast<std::size_t>(state.range(0)));
    const kivo::OptionTexts p =
        kivo::bench::optionsOf(kivo::kReverseText, {{"mode", mode}, {"interval", u"1"}});
    NullContext ctx;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::dispatch(kivo::kReverseText, text, p, ctx));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) * 2);
}

// 25 M UTF-16 units are 50 MB.
BENCHMARK_CAPTURE(reverse, whole, u"全文リバースする")->Arg(25'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(reverse, lines, u"数行おきにリバースする")->Arg(25'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
