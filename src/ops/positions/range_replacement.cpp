#include "ops/positions/range_replacement.h"

#include <cstddef>
#include <vector>

#include "ops/line_walk.h"
#include "text/characters.h"

namespace kivo {
namespace {

constexpr TextView kStartMissing = u"●～▲を…の左側のテキストを入力して下さい。";
constexpr TextView kEndMissing = u"●～▲を…の右側のテキストを入力して下さい。";
constexpr TextView kBackspaceInDelimiter = u"●～▲にバックスペースが含まれています。";
constexpr TextView kLineBreakInDelimiter = u"●～▲に改行が含まれています。";
constexpr TextView kStartNotFound = u"●～▲を…の左側のテキストが本文中に見つかりませんでした。";
constexpr TextView kEndNotFound = u"●～▲を…の右側のテキストが本文中に見つかりませんでした。";
constexpr TextView kNothingReplaced = u"置き換える文字が見つかりませんでした。";

constexpr std::size_t npos = TextView::npos;

// A delimiter prepared for searching: a delimiter can be as long as its box allows and made of
// repeats, which would make a plain search quadratic.
class Pattern {
public:
    explicit Pattern(TextView p) : m_text(p), m_prefix(p.size(), 0) {
        for (std::size_t i = 1, k = 0; i < p.size(); ++i) {
            while (k > 0 && p[i] != p[k])
                k = m_prefix[k - 1];
            if (p[i] == p[k]) ++k;
            m_prefix[i] = k;
        }
    }
    TextView text() const { return m_text; }
    std::size_t size() const { return m_text.size(); }
    // The longest proper prefix of the first i+1 units that is also their suffix.
    std::size_t prefix(std::size_t i) const { return m_prefix[i]; }

private:
    TextView m_text;
    std::vector<std::size_t> m_prefix;
};

// The occurrences of a non-empty pattern in one text, found in a single forward scan. The
// positions asked for never decrease, so a whole line costs time linear in its length.
class Occurrences {
public:
    Occurrences(const Pattern& p, TextView s) : m_p(p), m_s(s) {}

    /// The 0-based start of the first occurrence starting at or after `from`, or npos.
    std::size_t atOrAfter(std::size_t from) {
        if (m_found != npos && m_found >= from) return m_found;
        const TextView p = m_p.text();
        while (m_next < m_s.size()) {
            const char16_t c = m_s[m_next++];
            while (m_matched > 0 && p[m_matched] != c)
                m_matched = m_p.prefix(m_matched - 1);
            if (p[m_matched] == c) ++m_matched;
            if (m_matched == p.size()) {
                m_found = m_next - p.size();
                m_matched = m_p.prefix(p.size() - 1);
                if (m_found >= from) return m_found;
            }
        }
        return npos;
    }

    /// The start of the last occurrence, or npos.
    std::size_t last() {
        std::size_t found = npos;
        for (std::size_t at = atOrAfter(0); at != npos; at = atOrAfter(at + 1))
            found = at;
        return found;
    }

private:
    const Pattern& m_p;
    TextView m_s;
    std::size_t m_next = 0;     // the next unit to scan
    std::size_t m_matched = 0;  // pattern units matched before m_next
    std::size_t m_found = npos;
};

struct Delimiters {
    const Pattern& start;
    const Pattern& end;
};

// Appends the line up to the range at o, the marker, and sets `copied` past the end text at t.
void markRange(LineWriter& out, TextView line, std::size_t& copied, std::size_t o, std::size_t t,
               std::size_t endSize) {
    out.add(line.substr(copied, o - copied));
    out.add(TextView(&kBs, 1));
    copied = t + endSize;
}

// Every range of the line. After a replacement both searches go on right after the marker: the
// line is shorter by then, and continuing from the old end position would skip end texts and
// swallow text that lies outside every range.
void replaceAllRanges(LineWriter& out, TextView line, Delimiters d, RunContext& ctx) {
    Occurrences starts(d.start, line), ends(d.end, line);
    std::size_t copied = 0;
    for (std::size_t from = 0; !ctx.poll();) {
        const std::size_t o = starts.atOrAfter(from);
        if (o == npos) break;
        // The end text is looked for from the start text on, so it may overlap it but not lie
        // before it; a range needs it to start after the start text does.
        const std::size_t t = ends.atOrAfter(o);
        if (t == npos) break;
        if (t > o) {
            markRange(out, line, copied, o, t, d.end.size());
            from = copied;
        } else {
            from = o + 1;
        }
    }
    out.add(line.substr(copied));
}

void replaceFirstRange(LineWriter& out, TextView line, Delimiters d, bool fromLeft) {
    Occurrences starts(d.start, line), ends(d.end, line);
    const std::size_t o = fromLeft ? starts.atOrAfter(0) : starts.last();
    std::size_t t = fromLeft ? ends.atOrAfter(0) : ends.last();
    if (o != npos && (t == npos || t < o)) t = Occurrences(d.end, line).atOrAfter(o);
    std::size_t copied = 0;
    if (o != npos && t != npos && t > o) markRange(out, line, copied, o, t, d.end.size());
    out.add(line.substr(copied));
}

std::optional<Text> refuse(RunContext& ctx, TextView message) {
    ctx.inform(message);
    return std::nullopt;
}

// The checks, the line loop and the comparison that both operations share.
template <typename Transform>
std::optional<Text> replaceRanges(TextView upper, const RangeOptions& range, RunContext& ctx,
                                  Transform transform) {
    const TextView a = range.start;
    const TextView b = range.end;
    if (a.empty()) return refuse(ctx, kStartMissing);
    if (b.empty()) return refuse(ctx, kEndMissing);
    if (a.find(kBs) != npos || b.find(kBs) != npos) return refuse(ctx, kBackspaceInDelimiter);
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const TextView s = text->raw();
    if (a.find(kLf) != npos || b.find(kLf) != npos) return refuse(ctx, kLineBreakInDelimiter);
    const Pattern start(a), end(b);
    // The lines' breaks are Lf once normalised: a delimiter holding a Cr is never found. Any other
    // is found within a line, so the text as it is serves.
    auto found = [&](const Pattern& p) {
        return p.text().find(kCr) == npos && Occurrences(p, s).atOrAfter(0) != npos;
    };
    if (!found(start)) return refuse(ctx, kStartNotFound);
    if (!found(end)) return refuse(ctx, kEndNotFound);

    const std::optional<Text> marked = text->eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            transform(out, line, Delimiters{start, end});
            out.endLine();
        },
        s.size() + 2);
    if (!marked) return std::nullopt;
    // A backspace of the upper text is replaced as well: it cannot be told from a marker.
    ctx.checkResultLength(marked->size() + std::uint64_t{countUnit(*marked, kBs)} * range.replacement.size());
    Text result = replaceAll(*marked, TextView(&kBs, 1), range.replacement);
    if (result == upper) return refuse(ctx, kNothingReplaced);
    return result;
}

}  // namespace

std::optional<Text> ReplaceAllRangesInLine(TextView upper, const RangeOptions& options, RunContext& ctx) {
    return replaceRanges(upper, options, ctx, [&](LineWriter& out, TextView line, Delimiters d) {
        replaceAllRanges(out, line, d, ctx);
    });
}

std::optional<Text> ReplaceRangePerLine(TextView upper, const FirstRangeOptions& options, RunContext& ctx) {
    return replaceRanges(upper, options.range, ctx, [&](LineWriter& out, TextView line, Delimiters d) {
        replaceFirstRange(out, line, d, options.from == Side::Left);
    });
}

constinit const LazyOperation kReplaceAllRangesInLine(19, "replace-ranges", [] {
    return declare<RangeOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(6)",
                 .description = "Replaces every range from a start text to an end text in every line",
                 .japaneseDescription =
                     u"各行で、開始文字から終了文字までの範囲をすべて指定した文字に置き換えます。",
                 .caption = u"行毎に1行内すべての…～…を…に置換(&K)",
                 .example = {.input = u"a<b>c<d>e",
                             .options = {"--start=<", "--end=>", "--replacement=_"},
                             .output = u"a_c_e"}},
        .params =
            {textParam(&RangeOptions::start, "start").alias("Text16").purpose(u"開始文字", "Start text"),
             textParam(&RangeOptions::end, "end").alias("Text17").purpose(u"終了文字", "End text"),
             textParam(&RangeOptions::replacement, "replacement", kSeveralLines)
                 .alias("Text18")
                 .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceAllRangesInLine,
    });
});

constinit const LazyOperation kReplaceRangePerLine(20, "replace-first-range", [] {
    return declare<FirstRangeOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(7)",
                 .description = "Replaces the first range from a start text to an end text in every line",
                 .japaneseDescription =
                     u"各行で左または右から最初に見つけた、開始文字から終了文字までの範囲を置き換えます。",
                 .caption = u"行毎に……～…を…に置換(&L)",
                 .example = {.input = u"a<b>c<d>e",
                             .options = {"--start=<", "--end=>", "--replacement=_"},
                             .output = u"a_c<d>e"}},
        .params = {listParam(&FirstRangeOptions::from, "from",
                             {{u"左から見つけた最初の", "left", Side::Left},
                              {u"右から見つけた最初の", "right", Side::Right}},
                             OtherText::IsLastEntry)
                       .alias("Combo43")
                       .purpose(u"探す方向", "Side to search from"),
                   textParam<FirstRangeOptions>(
                       [](auto& o) -> auto& { return o.range.start; }, "start")
                       .alias("Text19")
                       .purpose(u"開始文字", "Start text"),
                   textParam<FirstRangeOptions>(
                       [](auto& o) -> auto& { return o.range.end; }, "end")
                       .alias("Text20")
                       .purpose(u"終了文字", "End text"),
                   textParam<FirstRangeOptions>(
                       [](auto& o) -> auto& { return o.range.replacement; }, "replacement", kSeveralLines)
                       .alias("Text21")
                       .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceRangePerLine,
    });
});

}  // namespace kivo
