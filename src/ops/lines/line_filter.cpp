#include "ops/lines/line_filter.h"

#include <algorithm>

#include "ops/characters/text_search.h"
#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr TextView kNoLineKept = u"条件を満たす行はありませんでした。";

std::size_t nextLf(TextView s, std::size_t from) {
    return findUnit(s, kLf, from);
}
std::size_t nextLf(std::string_view s, std::size_t from) {
    return s.find('\n', from);
}
// The kept lines of a text whose line breaks are all Lf or all CrLf (lineBreakShapeOf): each ended
// by CrLf (or by Lf, when the caller takes it and the text's breaks are Lf), but the last when the
// text's final line break was only implied. A condition holds no line break,
// so a match lies within one line: the condition is searched for in a whole block, a window of whole lines at
// a time, and the lines between two matches are passed over (or kept) together.
template <typename Char>
class LineFilter {
public:
    using View = std::basic_string_view<Char>;
    using String = std::basic_string<Char>;
    static constexpr Char kCrLf[] = {Char('\r'), Char('\n'), Char(0)};
    static constexpr Char kLf[] = {Char('\n'), Char(0)};

    /// `condition` must outlive the filter.
    LineFilter(View condition, bool keepContaining, ResultSink* sink, bool takesLf = false)
        : m_sink(sink), m_search(condition), m_keepContaining(keepContaining), m_takesLf(takesLf) {}

    /// The units kept so far (written out or not).
    std::size_t keptUnits() const { return m_flushed + m_out.size(); }

    /// Filters the text; false when stopped.
    bool take(View block, bool crLf, RunContext& ctx) {
        m_s = block;
        m_lineBreak = crLf || !m_takesLf ? View(kCrLf) : View(kLf);
        m_keepsBreaks = crLf || m_takesLf;
        m_appendedLf = block.empty() || block.back() != Char('\n');
        m_end = block.size() + (m_appendedLf ? 1 : 0);
        constexpr std::size_t kWindow = std::size_t{1} << 20;
        std::size_t windowEnd = 0;
        for (std::size_t pos = 0; pos < m_end;) {
            if (ctx.poll()) return false;
            // A window serves every match in it: its end, a megabyte on, is found once.
            if (pos >= windowEnd) windowEnd = lineEndAfter(std::min(pos + kWindow, m_s.size()));
            const std::size_t found = m_search.first(m_s.substr(pos, windowEnd - pos));
            if (found == View::npos) {
                if (!m_keepContaining) addLines(pos, windowEnd);
                pos = windowEnd;
                continue;
            }
            const std::size_t at = pos + found;
            const std::size_t lineStart = startOfLine(pos, at);
            const std::size_t lineEnd = std::min(nextLf(m_s, at), m_s.size());
            if (m_keepContaining) {
                addLine(lineStart, lineEnd);
            } else {
                addLines(pos, lineStart);
            }
            pos = lineEnd + 1;
            if (m_sink && m_out.size() >= kFlushUnits) flush();
        }
        return true;
    }

    /// Every line kept, after the last block; nothing after the message when no line was (a kept
    /// empty line counts).
    std::optional<String> kept(RunContext& ctx) {
        if (!m_kept) {
            ctx.inform(kNoLineKept);
            return std::nullopt;
        }
        if (m_appendedLf && !m_out.empty()) m_out.resize(m_out.size() - m_lineBreak.size());
        return std::move(m_out);
    }

private:
    static constexpr std::size_t kFlushUnits = std::size_t{1} << 16;
    // Everything kept so far but its final line break, which kept() may still drop.
    void flush() {
        const View done = View(m_out).substr(0, m_out.size() - m_lineBreak.size());
        if constexpr (sizeof(Char) == 1) {
            m_sink->writeBytes(done);
        } else {
            m_sink->write(done);
        }
        m_flushed += done.size();
        m_out.erase(0, done.size());
    }

    // One past the Lf that ends the line holding `i` (or the implied Lf at the end).
    std::size_t lineEndAfter(std::size_t i) const {
        const std::size_t lf = nextLf(m_s, i);
        return lf == View::npos ? m_end : lf + 1;
    }
    // The start of the line holding `at`, which is not before `from`, a line's start.
    std::size_t startOfLine(std::size_t from, std::size_t at) const {
        const std::size_t lf = m_s.substr(from, at - from).rfind(Char('\n'));
        return lf == View::npos ? from : from + lf + 1;
    }
    // The line from `start` to its break at `end` (or the block's end).
    void addLine(std::size_t start, std::size_t end) {
        m_kept = true;
        // A line with a break of its own as written is kept with it, in one piece.
        if (m_keepsBreaks && end < m_s.size()) {
            m_out.append(m_s.substr(start, end + 1 - start));
            return;
        }
        m_out.append(m_s.substr(start, end - start));
        m_out.append(m_lineBreak);
    }
    // The whole lines from `from` up to `to`, one past their last Lf, each ended by the line break
    // written: with those breaks already, as one piece.
    void addLines(std::size_t from, std::size_t to) {
        if (from >= to) return;
        m_kept = true;
        const std::size_t stop = std::min(to, m_s.size());
        if (m_keepsBreaks) {
            const std::size_t lastLf = m_s.substr(from, stop - from).rfind(Char('\n'));
            if (lastLf != View::npos) {
                m_out.append(m_s.substr(from, lastLf + 1));
                from += lastLf + 1;
            }
        }
        for (std::size_t lf = nextLf(m_s, from); lf != View::npos && lf < stop; lf = nextLf(m_s, from)) {
            m_out.append(m_s.substr(from, lf - from));
            m_out.append(m_lineBreak);
            from = lf + 1;
        }
        if (to == m_end && m_appendedLf) {
            m_out.append(m_s.substr(from, m_s.size() - from));
            m_out.append(m_lineBreak);
        }
    }

    ResultSink* m_sink;
    BasicTextSearch<Char> m_search;
    bool m_keepContaining;
    bool m_takesLf;
    String m_out;
    std::size_t m_flushed = 0;
    bool m_kept = false;
    // The block being filtered.
    View m_s;
    View m_lineBreak = kCrLf;
    bool m_keepsBreaks = false;  // the text's breaks are those written
    bool m_appendedLf = false;
    std::size_t m_end = 0;
};

bool holdsLineBreak(TextView s) {
    return findLineBreak(s) != TextView::npos;
}

}  // namespace

std::optional<Text> FilterLines(TextView upper, const FilterOptions& options, RunContext& ctx) {
    const LineBreakShape breaks = lineBreakShapeOf(upper);
    if (breaks.consecutive) {
        refuseEmptyLine(upper, ctx);
        return std::nullopt;
    }
    if (holdsLineBreak(options.condition)) {
        ctx.inform(u"条件の文字に改行が含まれています。");
        return std::nullopt;
    }
    LineFilter<char16_t> filter(options.condition, options.keepContaining, ctx.resultSink());
    const LineText text(upper);
    const bool done =
        breaks.uniform ? filter.take(upper, breaks.crLf, ctx) : filter.take(text.normalized(), false, ctx);
    if (!done) return std::nullopt;
    return filter.kept(ctx);
}

bool filtersUtf8(const FilterOptions& options) {
    return !holdsLineBreak(options.condition) &&
           utf8::decode(utf8::encode(options.condition)) == options.condition;
}

std::optional<std::string> FilterLinesUtf8(std::string_view upper, const FilterOptions& options,
                                           RunContext& ctx) {
    const LineBreakShape breaks = ctx.lineBreakShapeOf(upper);
    if (breaks.consecutive) {
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }
    const std::string condition = utf8::encode(options.condition);
    LineFilter<char> filter(condition, options.keepContaining, ctx.resultSink(), ctx.takesLfBreaks());
    // The rare text whose breaks are not all alike is filtered as its normalised bytes.
    std::string normalized;
    if (!breaks.uniform) normalizeLineBreaksInto(upper, normalized);
    if (!(breaks.uniform ? filter.take(upper, breaks.crLf, ctx) : filter.take(normalized, false, ctx)))
        return std::nullopt;
    // What it keeps is refused once it is surely longer than the result may be (a unit takes
    // three bytes at most).
    ctx.checkResultLength(filter.keptUnits() / 3);
    return filter.kept(ctx);
}

constinit const LazyOperation kFilterLines(12, "filter-lines", [] {
    return declare<FilterOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(12)",
                 .description = "Keeps the lines that contain a text, or those that do not",
                 .japaneseDescription = u"指定した文字を含む行、または含まない行だけを抜き出します。",
                 .caption = u"複数行から次の条件を満たす行を抜き出す(&Q)",
                 .example = {.input = u"apple\nbanana\ncherry",
                             .options = {"--text=an"},
                             .output = u"banana"},
                 .streamsResult = true,
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .emptyResultMessage = kNoLineKept},
        .params = {listParam(&FilterOptions::keepContaining, "keep",
                             {{u"次の文字を含む行を抜き出す", "containing", true},
                              {u"次の文字を含まない行を抜き出す", "not-containing", false}})
                       .alias("Combo47")
                       .purpose(u"抜き出す条件", "Lines to keep"),
                   textParam(&FilterOptions::condition, "text")
                       .alias("Text13")
                       .purpose(u"条件の文字", "Text the lines are checked for")},
        .preCheck = [](const FilterOptions& o) -> std::optional<Text> {
            if (o.condition.empty()) return Text(u"条件を満たす文字を入力して下さい。");
            return std::nullopt;
        },
        .run = FilterLines,
        .takesUtf8 = [](std::string_view, const FilterOptions& o) { return filtersUtf8(o); },
        .runUtf8 = FilterLinesUtf8,
    });
});

}  // namespace kivo
