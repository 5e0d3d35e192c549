// Throughput of the loop generator: copies of a 40-character template with three counted numbers.
#include <benchmark/benchmark.h>

#include "null_context.h"
#include "ops/dispatch.h"
#include "ops/loop/loop_generator.h"
#include "ops/params.h"

namespace {

using kivo::bench::NullContext;

void generateLoop(benchmark::State& state) {
    // 40 characters and a line break.
    const kivo::Text upper = u"item No.1, stock 1000 pcs, price 250 yen\r\n";
    kivo::Params p = kivo::Params::defaults(kivo::Date{2024, 1, 1});
    for (int i = 0; i < 3; ++i)
        p.set(kivo::arrayName("Check1", i), u"1");
    p.set("ComboFm(0)", u"0000000");
    p.set("ComboId(1)", u"デクリメント");
    p.set("ComboStep(2)", u"5");
    const std::string loops = std::to_string(state.range(0));
    p.set("Text6", kivo::Text(loops.begin(), loops.end()));
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
