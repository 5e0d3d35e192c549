#include "ops/lines/line_sort.h"

#include <vector>

#include "ops/line_walk.h"
#include "ops/lines/line_order.h"
#include "text/characters.h"
#include "text/utf8.h"

namespace kivo {

namespace {

constexpr TextView kOneLine = u"1行なのでソートできません。";

// The sorted lines written out, each ended by CrLf but the last when the text's final line break
// was only implied. They come from all over the text: each is asked for a few lines ahead, so
// that its wait for memory overlaps the copying of those before it.
template <typename Char>
std::basic_string<Char> written(const std::vector<std::basic_string_view<Char>>& sorted,
                                BasicLineWriter<Char>& out, bool appendedLf, RunContext& ctx) {
    constexpr std::size_t kAhead = 16;
    const std::size_t n = sorted.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (ctx.poll()) return {};
        if (i + kAhead < n) __builtin_prefetch(sorted[i + kAhead].data());
        out.addLine(sorted[i]);
    }
    return out.take(appendedLf);
}

}  // namespace

std::optional<Text> SortLines(TextView upper, const SortOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const TextView s = text->raw();
    // The pane's line count: a final line break adds an empty last line, which is sorted too.
    const std::size_t n = text->lineCount();
    if (n <= 1) {
        ctx.inform(kOneLine);
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
    Text result = written(sorted, out, lines.appendedLf(), ctx);
    if (ctx.cancelled()) return std::nullopt;
    return result;
}

std::optional<std::string> SortLinesUtf8(std::string_view upper, const SortOptions& options,
                                         RunContext& ctx) {
    const Utf8Lines text(upper);
    if (text.hasConsecutiveLineBreaks()) {
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }
    const std::string_view s = text.text();
    const std::size_t n = lineBreakCountOf(s) + 1;
    if (n <= 1) {
        ctx.inform(kOneLine);
        return std::nullopt;
    }
    // Refused where the run on the text's UTF-16 units would be: at the room it asks for first,
    // or at its result, whose last CrLf counts until it is dropped. A byte is a unit at most: a
    // text far within the budget is not counted.
    if (upper.size() + 2 * n + 1 > ctx.resultBudget()) {
        const std::size_t contentUnits = utf8::utf16Length(s) - text.breakBytes() * (n - 1);
        ctx.checkResultLength(std::max(utf8::utf16Length(upper) + n + 1, contentUnits + 2 * n));
    }
    std::optional<std::vector<std::string_view>> sorted = text.lines(ctx);
    if (!sorted) return std::nullopt;
    // The pane's line count: a final line break adds an empty last line, which is sorted too.
    if (text.endsWithLineBreak()) sorted->emplace_back();
    sortLines(*sorted, options.descending);

    Utf8LineWriter out(s.size() + n + 1, Utf8LineWriter::kNoBudget, ctx.resultSink());
    std::string result = written(*sorted, out, !text.endsWithLineBreak(), ctx);
    if (ctx.cancelled()) return std::nullopt;
    return result;
}

constinit const LazyOperation kSortLines(27, "sort", [] {
    return declare<SortOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(0)",
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
        .takesUtf8 = [](std::string_view, const SortOptions&) { return true; },
        .runUtf8 = SortLinesUtf8,
    });
});

}  // namespace kivo
