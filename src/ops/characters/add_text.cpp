#include "ops/characters/add_text.h"

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
            if (options.side.value == Side::Left) out.add(added);
            out.add(line);
            if (options.side.value == Side::Right) out.add(added);
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
    .info = {.code = 4,
             .tab = Tab::Characters,
             .selector = "Option1(4)",
             .name = "add-text",
             .description = "Adds a text at the start or the end of every line",
             .japaneseDescription = u"各行の先頭または末尾に文字を追加します。",
             .caption = u"…に次の文字を追加する(&I)",
             .example = {.input = u"東京\n大阪", .options = {"--text=・"}, .output = u"・東京\r\n・大阪"},
             .streamsResult = true},
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
});

const OperationDeclaration kIndentLinesWithTab = declare<NoOptions>({
    .info = {.code = 11,
             .tab = Tab::Characters,
             .selector = "Option1(11)",
             .name = "indent",
             .description = "Puts a Tab at the start of every line",
             .japaneseDescription = u"各行の先頭にTab文字を1つ追加します。",
             .caption = u"複数行の1行毎に左側にTab文字を1つ追加する(&P)",
             .example = {.input = u"a\nb", .options = {}, .output = u"\ta\r\n\tb"},
             .streamsResult = true},
    .run = IndentLinesWithTab,
});

}  // namespace kivo
