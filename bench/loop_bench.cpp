// Throughput of the loop generator: copies of a 40-character template with three counted numbers.
#include <benchmark/benchmark.h>

#include "null_context.h"
#include "ops/dispatch.h"
#include "ops/loop/loop_generator.h"

namespace {

using kivo::bench::NullContext;

void generateLoop(benchmark::State& state) {
    // 40 characters and a line break.
    const kivo::Text upper = u"item No.1, stock 1000 pcs, price 250 yen\r\n";
    const std::string loops = std::to_string(state.range(0));
    const kivo::OptionTexts p =
        kivo::bench::optionsOf(kivo::kGenerateLoop, {{"use-1", u"1"},
                                                     {"use-2", u"1"},
                                                     {"use-3", u"1"},
                                                     {"digits-1", u"0000000"},
                                                     {"direction-2", u"デクリメント"},
                                                     {"step-3", u"5"},
                                                     {"loops", kivo::Text(loops.begin(), loops.end())}});
    NullContext ctx;
    std::size_t units = 0;
    for (auto _ : state) {
        const std::optional<kivo::Text> out = kivo::dispatch(kivo::kGenerateLoop, upper, p, ctx).lower;
        units = out ? out->size() : 0;
        benchmark::DoNotOptimize(out);
    }
    state.counters["units"] = static_cast<double>(units);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(generateLoop)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
