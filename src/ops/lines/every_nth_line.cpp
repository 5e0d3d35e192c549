#include "ops/lines/every_nth_line.h"

#include <cstdint>

#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/numeric.h"

namespace kivo {
namespace {

// Line k is picked, then every m-th line after the last picked one. Extraction keeps the picked
// lines, the remainder the others.
std::optional<Text> pick(TextView upper, const EveryNthLineOptions& options, RunContext& ctx,
                         bool keepPicked) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    // The first line and the step are held in 8 bits: k up to 255, a skip up to 254.
    const std::uint8_t k = checked<std::uint8_t>(options.first);
    const std::uint8_t m = checked<std::uint8_t>(options.skip + 1);
    // A block of a larger text goes on from where the lines before it left the count.
    const std::uint64_t before = ctx.linesBefore();
    bool started = before >= k;
    int counter = static_cast<int>(started ? (before - k) % m : before);
    return text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            ++counter;
            bool picked = false;
            if (!started && counter == k) {
                picked = started = true;
                counter = 0;
            } else if (started && counter == m) {
                picked = true;
                counter = 0;
            }
            if (picked == keepPicked) out.addLine(line);
        },
        // At most every line with a CrLf: untouched room costs nothing, a reallocation a copy.
        text->raw().size() + text->lineCount() + 1,
        // The last picked line never keeps a break, whether the text ended with one or not.
        keepPicked ? FinalBreak::Never : FinalBreak::AsInput);
}

}  // namespace

std::optional<Text> ExtractEveryNthLine(TextView upper, const EveryNthLineOptions& options, RunContext& ctx) {
    return pick(upper, options, ctx, true);
}

std::optional<Text> RemainderEveryNthLine(TextView upper, const EveryNthLineOptions& options,
                                          RunContext& ctx) {
    return pick(upper, options, ctx, false);
}

constinit const LazyOperation kExtractEveryNthLine(22, "every-nth-line", [] {
    return declare<EveryNthLineOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(9)",
                 .description = "Takes out one line, then every line after skipping a number of lines",
                 .japaneseDescription = u"指定した行から、指定した行数おきに行を抜き出します。",
                 .caption = u"…行目から複数行の行数から…行おきに抜き出す(&N)",
                 .example = {.input = u"1\n2\n3\n4\n5",
                             .options = {"--first=1", "--skip=1"},
                             .output = u"1\r\n3\r\n5"},
                 .streamsResult = true,
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .countsLines = true},
        .params = {countParam(&EveryNthLineOptions::first, "first", 1, 999)
                       .alias("Combo8")
                       .purpose(u"開始行", "First line"),
                   countParam(&EveryNthLineOptions::skip, "skip", 1, 999)
                       .alias("Combo9")
                       .purpose(u"行間隔", "Lines between")},
        .run = ExtractEveryNthLine,
    });
});

constinit const LazyOperation kRemainderEveryNthLine(23, "every-nth-line-remainder", [] {
    return declare<EveryNthLineOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(10)",
                 .description = "The lines that every-nth-line leaves over",
                 .japaneseDescription = u"指定した行から行数おきに抜き出したときに残る行を抜き出します。",
                 .caption = u"…行目から複数行の行数から…行おきに抜き出した残り(&O)",
                 .example = {.input = u"1\n2\n3\n4\n5",
                             .options = {"--first=1", "--skip=1"},
                             .output = u"2\r\n4"},
                 .streamsResult = true,
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .countsLines = true},
        .params = {countParam(&EveryNthLineOptions::first, "first", 1, 999)
                       .alias("Combo10")
                       .purpose(u"開始行", "First line"),
                   countParam(&EveryNthLineOptions::skip, "skip", 1, 999)
                       .alias("Combo11")
                       .purpose(u"行間隔", "Lines between")},
        .run = RemainderEveryNthLine,
    });
});

}  // namespace kivo
