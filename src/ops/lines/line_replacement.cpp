#include "ops/lines/line_replacement.h"

#include <cstddef>

#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/errors.h"

namespace kivo {
namespace {

constexpr TextView kRemoveEmptyLines = u"削除されて改行のみの行を削除しますか？";
constexpr TextView kDoubleCrLf = u"\r\n\r\n";

// One left-to-right pass: a run of three breaks keeps two.
void askToJoinEmptyLines(Text& result, RunContext& ctx, bool dropLeadingBreak) {
    if (findText(result, kDoubleCrLf) == Text::npos) return;
    if (ctx.ask(kRemoveEmptyLines) != Answer::Yes) return;
    result = replaceAll(result, kDoubleCrLf, kCrLf);
    if (dropLeadingBreak && TextView(result).starts_with(kCrLf)) result.erase(0, 2);
}

void dropFinalCrLf(Text& result) {
    if (result.size() >= 2) result.resize(result.size() - 2);
}

// The new line when the text has several lines. Left: the p-th character is replaced by T.
// Right: T goes in before the last p-1 characters, and nothing is removed.
void insertIntoLine(LineWriter& out, TextView line, std::size_t p, TextView t, bool left) {
    const std::size_t n = line.size();
    if (left) {
        if (n < p) throw RunTimeError("line shorter than the position");
        out.add(line.substr(0, p - 1));
        out.add(t);
        out.add(line.substr(p));
    } else {
        if (n < p - 1) throw RunTimeError("line shorter than the position");
        out.add(line.substr(0, n - (p - 1)));
        out.add(t);
        out.add(line.substr(n - (p - 1)));
    }
}

// A text without line breaks: a position at or past its end appends T; otherwise the p-th
// character counted from the side is replaced.
Text insertIntoSingleLine(TextView s, std::size_t p, TextView t, bool left) {
    const std::size_t n = s.size();
    Text out;
    if (p >= n) {
        out.append(s);
        out.append(t);
    } else if (left) {
        out.append(s.substr(0, p - 1));
        out.append(t);
        out.append(s.substr(p));
    } else {
        out.append(s.substr(0, n - p));
        out.append(t);
        out.append(s.substr(n - p + 1));
    }
    return out;
}

}  // namespace

std::optional<Text> ReplaceLine(TextView upper, const ReplaceLineOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    // About every other line becomes the replacement.
    ctx.checkResultLength(text->raw().size() +
                          (std::uint64_t{text->lineCount()} + 1) / 2 * options.replacement.size() +
                          2 * text->lineCount());
    std::size_t i = 0;
    std::optional<Text> result = text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            ++i;
            out.addLine(i % 2 == (options.odd ? 1 : 0) ? TextView(options.replacement) : line);
        },
        0, FinalBreak::Always);
    if (!result) return std::nullopt;
    const bool appendedLf = !text->endsWithLineBreak();
    if (options.odd) {
        if (appendedLf) dropFinalCrLf(*result);
        askToJoinEmptyLines(*result, ctx, true);
    } else {
        askToJoinEmptyLines(*result, ctx, false);
        if (appendedLf) dropFinalCrLf(*result);
    }
    return result;
}

std::optional<Text> InsertAtPosition(TextView upper, const InsertOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const auto p = static_cast<std::size_t>(options.position);
    // The inserted text's own line breaks come out as one CrLf each, as the lines' do.
    const Text t = lfToCrLf(normalizeLineBreaks(options.text));
    const bool left = options.side == Side::Left;
    ctx.checkResultLength(text->raw().size() + std::uint64_t{text->lineCount()} * (t.size() + 2));
    if (text->isOneLine()) return insertIntoSingleLine(text->raw(), p, t, left);
    return text->eachLine(ctx, [&](TextView line, LineWriter& out) {
        insertIntoLine(out, line, p, t, left);
        out.endLine();
    });
}

constinit const LazyOperation kReplaceLine(16, "replace-lines", [] {
    return declare<ReplaceLineOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(3)",
                 .description = "Replaces every odd or every even line by a text",
                 .japaneseDescription = u"奇数行または偶数行を、すべて指定した文字に置き換えます。",
                 .caption = u"…行を…に置換(&H)",
                 .example = {.input = u"1\n2\n3\n4",
                             .options = {"--lines=even", "--replacement=-"},
                             .output = u"1\r\n-\r\n3\r\n-"}},
        .params = {listParam(&ReplaceLineOptions::odd, "lines",
                             {{u"奇数", "odd", true}, {u"偶数", "even", false}}, OtherText::IsLastEntry)
                       .alias("Combo38")
                       .purpose(u"置換する行", "Lines to replace"),
                   textParam(&ReplaceLineOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text12")
                       .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceLine,
    });
});

constinit const LazyOperation kInsertAtPosition(17, "insert", [] {
    return declare<InsertOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(4)",
                 .description =
                     "Puts a text into every line at a position counted from the left or the right",
                 .japaneseDescription = u"各行の左または右から数えた位置に、指定した文字を差し込みます。",
                 .caption = u"…から…文字目に…を差し込む(&I)",
                 .example = {.input = u"abc\ndef",
                             .options = {"--position=2", "--text=X"},
                             .output = u"aXc\r\ndXf"}},
        .params = {listParam(&InsertOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo4")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&InsertOptions::position, "position", 1, 999)
                       .alias("Combo3")
                       .purpose(u"差し込む位置", "Position"),
                   textParam(&InsertOptions::text, "text", kSeveralLines)
                       .alias("Text14")
                       .purpose(u"差し込む文字", "Text to insert")},
        .preCheck = [](const InsertOptions& o) -> std::optional<Text> {
            if (!o.text.empty()) return std::nullopt;
            return Text(o.side == Side::Left ? u"左側から置き換える文字を入力して下さい。"
                                             : u"右側から置き換える文字を入力して下さい。");
        },
        .run = InsertAtPosition,
    });
});

}  // namespace kivo
