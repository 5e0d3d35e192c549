#include "ops/set1/add_text.h"

#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/characters.h"

namespace kivo {

std::optional<Text> AddTextAtSide(TextView upper, const AddTextOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    // Every Lf of the result becomes CrLf, those brought in by the added text too: a CrLf typed
    // into the box must arrive as one Lf, not as a Cr followed by a line break.
    const Text added = lfToCrLf(normalizeLineBreaks(options.text));
    const std::size_t lines = text->lineCount();
    return text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            if (options.side == Side::Left) out.add(added);
            out.add(line);
            if (options.side == Side::Right) out.add(added);
            out.endLine();
        },
        text->raw().size() + lines * (kCrLf.size() + added.size()));
}

std::optional<Text> IndentLinesWithTab(TextView upper, const NoOptions&, RunContext& ctx) {
    const LineText text(upper);
    return text.eachLine(ctx, [](TextView line, LineWriter& out) {
        out.add(u"\t");
        out.addLine(line);
    });
}

const OperationDeclaration kAddTextAtSide = declare<AddTextOptions>({
    .code = 4,
    .tab = 0,
    .selector = "Option1(4)",
    .name = "add-text",
    .description = "Adds a text at the start or the end of every line",
    .caption = u"…に次の文字を追加する(&I)",
    .example = {.input = u"東京\n大阪", .options = {"--text=・"}, .output = u"・東京\r\n・大阪"},
    .params = {listParam(&AddTextOptions::side, "Combo31", "side", sideChoices(), OtherText::IsLastEntry),
               textParam(&AddTextOptions::text, "Text3", "text", kSeveralLines)},
    .preCheck = [](const Params& p) -> std::optional<Text> {
        if (!p.text("Text3").empty()) return std::nullopt;
        return p.text("Combo31") + u"側に足す文字、文字列を入力して下さい。";
    },
    .streamsResult = true,
    .run = AddTextAtSide,
});

const OperationDeclaration kIndentLinesWithTab = declare<NoOptions>({
    .code = 11,
    .tab = 0,
    .selector = "Option1(11)",
    .name = "indent",
    .description = "Puts a Tab at the start of every line",
    .caption = u"複数行の1行毎に左側にTab文字を1つ追加する(&P)",
    .example = {.input = u"a\nb", .options = {}, .output = u"\ta\r\n\tb"},
    .streamsResult = true,
    .run = IndentLinesWithTab,
});

}  // namespace kivo
