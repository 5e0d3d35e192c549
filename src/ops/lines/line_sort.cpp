#include "ops/lines/line_sort.h"

#include <vector>

#include "ops/line_walk.h"
#include "ops/lines/line_order.h"
#include "text/characters.h"

namespace kivo {

std::optional<Text> SortLines(TextView upper, const SortOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const TextView s = text->raw();
    // The pane's line count: a final line break adds an empty last line, which is sorted too.
    const std::size_t n = text->lineCount();
    if (n <= 1) {
        ctx.inform(u"1行なのでソートできません。");
        return std::nullopt;
    }
    // Lines that are not read keep an empty text and are sorted with the others.
    std::vector<TextView> sorted(n);
    LineReader lines(s, LineEnds::Any);
    for (std::size_t i = 0; i < n && !ctx.poll(); ++i)
        if (!lines.next(sorted[i])) break;
    if (ctx.cancelled()) return std::nullopt;

    // Views compare code units as unsigned numbers: this is code-unit order.
    sortLines(sorted, options.descending);

    LineWriter out = resultWriter(ctx, s.size() + n + 1);
    // The lines are read in sorted order, from all over the text: each is asked for a few
    // lines ahead, so that its wait for memory overlaps the copying of those before it.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < n; ++i) {
        if (ctx.poll()) return std::nullopt;
        if (i + kAhead < n) __builtin_prefetch(sorted[i + kAhead].data());
        out.addLine(sorted[i]);
    }
    return out.take(lines.appendedLf());
}

const OperationDeclaration kSortLines = declare<SortOptions>({
    .info = {.code = 27,
             .tab = Tab::SortsAndSeries,
             .selector = "Option4(0)",
             .name = "sort",
             .description = "Sorts the lines by character code, ascending or descending",
             .japaneseDescription = u"行を文字コード順に、昇順または降順で並べ替えます。",
             .caption = u"複数行から文字をソートする(&E)",
             .example = {.input = u"banana\napple\ncherry",
                         .options = {},
                         .output = u"apple\r\nbanana\r\ncherry"},
             .streamsResult = true},
    .params = {listParam(
                   &SortOptions::descending, "order",
                   {{u"昇順でソートする", "ascending", false}, {u"降順でソートする", "descending", true}})
                   .alias("Combo20")
                   .purpose(u"並べ替えの順序", "Sort order")},
    .run = SortLines,
});

}  // namespace kivo
