#include "ops/positions/side_extraction.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

struct Run {
    std::size_t p;  // position counted from the side
    std::size_t c;  // count
    bool left;
};

// Left: up to c characters from position p (none when the line is shorter than p).
// Right: the last p characters when p = c; otherwise up to c from the p-th from the right.
void extractRun(LineWriter& out, TextView line, Run r) {
    const std::size_t n = line.size();
    if (r.left) {
        if (n >= r.p) out.add(line.substr(r.p - 1, r.c));
    } else if (r.p == r.c) {
        out.add(line.substr(n - std::min(n, r.p)));
    } else {
        if (n < r.p) throw RunTimeError("line shorter than the position");
        out.add(line.substr(n - r.p, r.c));
    }
}

// The line without the run of extractRun.
void removeRun(LineWriter& out, TextView line, Run r) {
    const std::size_t n = line.size();
    if (r.left) {
        if (n < r.p + r.c - 1) throw RunTimeError("line shorter than the run");
        out.add(line.substr(0, r.p - 1));
        out.add(line.substr(r.p + r.c - 1));
    } else if (r.p == r.c) {
        if (n < r.p) throw RunTimeError("line shorter than the position");
        out.add(line.substr(0, n - r.p));
    } else {
        if (n < r.p || r.c > r.p) throw RunTimeError("run outside the line");
        // The start position and the end of the run are held in 8 bits here, which limits this
        // case to lines of at most 254 + p - c characters.
        if (n - r.p + 1 + r.c > 255) throw RunTimeError("8-bit overflow");
        out.add(line.substr(0, n - r.p));
        out.add(line.substr(n - (r.p - r.c)));
    }
}

template <typename LineFn>
std::optional<Text> eachLine(TextView upper, const SideRunOptions& options, RunContext& ctx, LineFn lineFn) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    // Both are held in 8 bits, although the combos offer up to 999.
    const Run run{checked<std::uint8_t>(options.position), checked<std::uint8_t>(options.count),
                  options.side == Side::Left};
    return text->eachLine(ctx, [&](TextView line, LineWriter& out) {
        lineFn(out, line, run);
        out.endLine();
    });
}

}  // namespace

std::optional<Text> ExtractFromSide(TextView upper, const SideRunOptions& options, RunContext& ctx) {
    return eachLine(upper, options, ctx, extractRun);
}

std::optional<Text> RemainderFromSide(TextView upper, const SideRunOptions& options, RunContext& ctx) {
    return eachLine(upper, options, ctx, removeRun);
}

constinit const LazyOperation kExtractFromSide(24, "extract-at", [] {
    return declare<SideRunOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(11)",
                 .description =
                     "Takes a number of characters out of every line, from a position counted from a side",
                 .japaneseDescription = u"各行の左または右から数えた位置から、指定した文字数を抜き出します。",
                 .caption = u"…辺より…文字目から…文字抜き出す(&P)",
                 .example = {.input = u"abcdef\nghijkl",
                             .options = {"--position=2", "--count=3"},
                             .output = u"bcd\r\nhij"},
                 .lineLocal = true,
                 .refusesSomeLines = true},
        .params = {listParam(&SideRunOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo16")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&SideRunOptions::position, "position", 1, 999)
                       .alias("Combo12")
                       .purpose(u"開始位置", "Start position"),
                   countParam(&SideRunOptions::count, "count", 1, 999)
                       .alias("Combo13")
                       .purpose(u"抜き出す文字数", "Number of characters to take")},
        .run = ExtractFromSide,
    });
});

constinit const LazyOperation kRemainderFromSide(25, "extract-at-remainder", [] {
    return declare<SideRunOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(12)",
                 .description = "Every line without what extract-at takes out of it",
                 .japaneseDescription = u"各行から、指定した位置と文字数の部分を除いた残りを抜き出します。",
                 .caption = u"…辺より…文字目から…文字抜き出した残り(&Q)",
                 .example = {.input = u"abcdef\nghijkl",
                             .options = {"--position=2", "--count=3"},
                             .output = u"aef\r\ngkl"},
                 .lineLocal = true,
                 .refusesSomeLines = true},
        .params = {listParam(&SideRunOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo17")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&SideRunOptions::position, "position", 1, 999)
                       .alias("Combo14")
                       .purpose(u"開始位置", "Start position"),
                   countParam(&SideRunOptions::count, "count", 1, 999)
                       .alias("Combo15")
                       .purpose(u"抜き出す文字数", "Number of characters to take")},
        .run = RemainderFromSide,
    });
});

}  // namespace kivo
