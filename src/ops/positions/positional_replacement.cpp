#include "ops/positions/positional_replacement.h"

#include <cstddef>
#include <cstdint>

#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kNothingReplaced = u"置き換える文字が見つかりませんでした。";

// Left: characters p to p+c-1. Right: c characters from the p-th from the right towards the end.
void markRun(LineWriter& out, TextView line, std::size_t p, std::size_t c, bool left) {
    const std::size_t n = line.size();
    if (left) {
        if (n < p + c - 1) throw RunTimeError("line shorter than the run");
        out.add(line.substr(0, p - 1));
        out.add(TextView(&kBs, 1));
        out.add(line.substr(p + c - 1));
    } else {
        if (n < p || c > p) throw RunTimeError("run outside the line");
        out.add(line.substr(0, n - p));
        out.add(TextView(&kBs, 1));
        out.add(line.substr(n - p + c));
    }
}

}  // namespace

std::optional<Text> ReplaceByPosition(TextView upper, const ReplaceByPositionOptions& options,
                                      RunContext& ctx) {
    // Both are held in 8 bits, although the combos offer up to 999.
    const std::uint8_t p = checked<std::uint8_t>(options.position);
    const std::uint8_t c = checked<std::uint8_t>(options.count);
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const std::optional<Text> marked = text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            markRun(out, line, p, c, options.side == Side::Left);
            out.endLine();
        },
        text->raw().size() + 2);
    if (!marked) return std::nullopt;
    // A backspace of the upper text is replaced as well: it cannot be told from a marker.
    ctx.checkResultLength(marked->size() +
                          std::uint64_t{countUnit(*marked, kBs)} * options.replacement.size());
    Text result = replaceAll(*marked, TextView(&kBs, 1), options.replacement);
    if (result == upper) {
        ctx.inform(kNothingReplaced);
        return std::nullopt;
    }
    return result;
}

constinit const LazyOperation kReplaceByPosition(21, "replace-at", [] {
    return declare<ReplaceByPositionOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(8)",
                 .description = "Replaces the characters at a position of every line by a text",
                 .japaneseDescription =
                     u"各行の指定した位置から指定した文字数を、指定した文字に置き換えます。",
                 .caption = u"…から…文字目～文字数…文字を置換(&M)",
                 .example = {.input = u"abcdef",
                             .options = {"--position=2", "--count=3", "--replacement=X"},
                             .output = u"aXef"},
                 .lineLocal = true,
                 .refusesSomeLines = true},
        .params = {listParam(&ReplaceByPositionOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo18")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&ReplaceByPositionOptions::position, "position", 1, 999)
                       .alias("Combo6")
                       .purpose(u"開始位置", "Start position"),
                   countParam(&ReplaceByPositionOptions::count, "count", 1, 999)
                       .alias("Combo7")
                       .purpose(u"置換する文字数", "Number of characters to replace"),
                   textParam(&ReplaceByPositionOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text34")
                       .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceByPosition,
    });
});

}  // namespace kivo
