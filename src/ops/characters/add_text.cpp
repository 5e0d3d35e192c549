#include "ops/characters/add_text.h"

#include <algorithm>

#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/utf8.h"

namespace kivo {
namespace {

// Every Lf of the result becomes CrLf, those brought in by the added text too: a CrLf typed into
// the box must arrive as one Lf, not as a Cr followed by a line break.
Text addedText(const AddTextOptions& options) {
    return lfToCrLf(normalizeLineBreaks(options.text));
}

// The UTF-8 runs take a text whose line breaks are all Lf or all CrLf (and, where the operation
// refuses them, never two in a row), and a text to add that UTF-8 holds as it is.
bool takesLinesAsBytes(std::string_view upper, TextView added, bool refusesEmptyLines) {
    const LineBreakShape shape = lineBreakShapeOf(upper);
    return shape.uniform && !(refusesEmptyLines && shape.consecutive) &&
           utf8::decode(utf8::encode(added)) == added;
}

// `left` and `right` around every line of such a text, each line ending with CrLf but, when the
// text does not end with a line break, the last: the UTF-16 run's result, made from the bytes.
std::string addAroundLines(std::string_view upper, std::string_view left, std::string_view right,
                           RunContext& ctx) {
    const auto breaks = static_cast<std::size_t>(std::count(upper.begin(), upper.end(), '\n'));
    ctx.checkResultLength(upper.size() + (breaks + 1) * (left.size() + right.size() + 2));
    // All breaks alike: the first tells.
    const std::size_t firstLf = upper.find('\n');
    const bool crLf = firstLf != std::string_view::npos && firstLf > 0 && upper[firstLf - 1] == '\r';
    std::string out;
    out.reserve(upper.size() + (breaks + 1) * (left.size() + right.size() + 2));
    for (std::size_t from = 0;;) {
        const std::size_t lf = upper.find('\n', from);
        if (lf == std::string_view::npos && from == upper.size()) break;  // the text ended with a break
        const std::size_t end = lf == std::string_view::npos ? upper.size() : lf - (crLf ? 1 : 0);
        out.append(left).append(upper.substr(from, end - from)).append(right);
        if (lf == std::string_view::npos) break;
        out.append("\r\n");
        from = lf + 1;
    }
    return out;
}

}  // namespace

std::optional<Text> AddTextAtSide(TextView upper, const AddTextOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const Text added = addedText(options);
    const std::size_t lines = text->lineCount();
    return text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            if (options.side.value == Side::Left) out.add(added);
            out.add(line);
            if (options.side.value == Side::Right) out.add(added);
            out.endLine();
        },
        text->raw().size() + lines * (kCrLf.size() + added.size()));
}

std::optional<std::string> AddTextAtSideUtf8(std::string_view upper, const AddTextOptions& options,
                                             RunContext& ctx) {
    const std::string added = utf8::encode(addedText(options));
    const bool left = options.side.value == Side::Left;
    return addAroundLines(upper, left ? added : "", left ? "" : added, ctx);
}

std::optional<Text> IndentLinesWithTab(TextView upper, const NoOptions&, RunContext& ctx) {
    const LineText text(upper);
    return text.eachLine(ctx, [](TextView line, LineWriter& out) {
        out.add(u"\t");
        out.addLine(line);
    });
}

constinit const LazyOperation kAddTextAtSide(4, "add-text", [] {
    return declare<AddTextOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(4)",
                 .description = "Adds a text at the start or the end of every line",
                 .japaneseDescription = u"各行の先頭または末尾に文字を追加します。",
                 .caption = u"…に次の文字を追加する(&I)",
                 .example = {.input = u"東京\n大阪", .options = {"--text=・"}, .output = u"・東京\r\n・大阪"},
                 .streamsResult = true,
                 .lineLocal = true,
                 .refusesSomeLines = true},
        .params = {listParam(&AddTextOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo31")
                       .purpose(u"追加する側", "Side to add to"),
                   textParam(&AddTextOptions::text, "text", kSeveralLines)
                       .alias("Text3")
                       .purpose(u"追加する文字", "Text to add")},
        .preCheck = [](const AddTextOptions& o) -> std::optional<Text> {
            if (!o.text.empty()) return std::nullopt;
            return o.side.text + u"側に足す文字、文字列を入力して下さい。";
        },
        .run = AddTextAtSide,
        .takesUtf8 =
            [](std::string_view upper, const AddTextOptions& options) {
                return takesLinesAsBytes(upper, addedText(options), true);
            },
        .runUtf8 = AddTextAtSideUtf8,
    });
});

constinit const LazyOperation kIndentLinesWithTab(11, "indent", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(11)",
                 .description = "Puts a Tab at the start of every line",
                 .japaneseDescription = u"各行の先頭にTab文字を1つ追加します。",
                 .caption = u"複数行の1行毎に左側にTab文字を1つ追加する(&P)",
                 .example = {.input = u"a\nb", .options = {}, .output = u"\ta\r\n\tb"},
                 .streamsResult = true,
                 .lineLocal = true},
        .run = IndentLinesWithTab,
        .takesUtf8 = [](std::string_view upper,
                        const NoOptions&) { return takesLinesAsBytes(upper, u"", false); },
        .runUtf8 = [](std::string_view upper, const NoOptions&, RunContext& ctx)
            -> std::optional<std::string> { return addAroundLines(upper, "\t", "", ctx); },
    });
});

}  // namespace kivo
