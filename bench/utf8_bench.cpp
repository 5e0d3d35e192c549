// The command line converts every input from UTF-8 and every result back: both directions on
// 50 MB of mixed kana, kanji and ASCII. decodeMixed and encodeMixed build a new string each time,
// so a third or more of their time is the allocation's page faults; the Into variants reuse their
// buffer and measure the conversion itself. decodeBlocksMixed and writeMixed do what the command
// line does: decode 1 MiB blocks into a text sized beforehand, and write the result in blocks.
#include <benchmark/benchmark.h>

#include <ostream>
#include <random>
#include <string>
#include <string_view>

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

const std::string& mixedBytes() {
    static const std::string bytes = kivo::utf8::encode(mixedText());
    return bytes;
}

void decodeMixed(benchmark::State& state) {
    const std::string& bytes = mixedBytes();
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

void decodeIntoMixed(benchmark::State& state) {
    const std::string& bytes = mixedBytes();
    std::u16string text;
    for (auto _ : state) {
        text.clear();
        benchmark::DoNotOptimize(kivo::utf8::appendDecoded(bytes, text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void encodeIntoMixed(benchmark::State& state) {
    const std::u16string& text = mixedText();
    std::string out;
    for (auto _ : state) {
        kivo::utf8::encodeInto(text, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}

void decodeBlocksMixed(benchmark::State& state) {
    const std::string& bytes = mixedBytes();
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::u16string text;
    text.reserve(bytes.size());
    for (auto _ : state) {
        text.clear();
        std::string_view rest = bytes;
        while (!rest.empty()) {
            const std::string_view block = rest.substr(0, kBlock);
            const std::size_t complete =
                block.size() < kBlock ? block.size() : kivo::utf8::completeLength(block);
            benchmark::DoNotOptimize(kivo::utf8::appendDecoded(block.substr(0, complete), text));
            rest.remove_prefix(complete);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Counts what it is given and keeps nothing.
class DiscardingBuffer final : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

void writeMixed(benchmark::State& state) {
    const std::u16string& text = mixedText();
    DiscardingBuffer discard;
    std::ostream out(&discard);
    for (auto _ : state)
        kivo::utf8::write(text, out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mixedBytes().size()));
}

void isValidMixed(benchmark::State& state) {
    const std::string& bytes = mixedBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(kivo::utf8::isValid(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(decodeMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeIntoMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeIntoMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeBlocksMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(writeMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(isValidMixed)->Unit(benchmark::kMillisecond);

}  // namespace
