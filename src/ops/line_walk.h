#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ops/run_context.h"
#include "text/characters.h"
#include "text/lines.h"

namespace kivo {

/// The message of a text with two line breaks in a row, refused by most line operations.
inline constexpr TextView kConsecutiveLineBreaks = u"改行の連続があります。";

/// The message of two line breaks in a row, shown after noting the first empty line of `upper`
/// (its line break) as the stretch concerned.
inline void refuseEmptyLine(TextView upper, RunContext& ctx) {
    LineReader lines(upper, LineEnds::Any);
    for (TextView line; lines.next(line);) {
        // An empty first line has no break before its own.
        if (line.empty() && lines.lineNumber() > 1 && !lines.lineBreak().empty()) {
            ctx.concerns(lines.lineBreak());
            break;
        }
    }
    ctx.inform(kConsecutiveLineBreaks);
}

/// Walks a text line by line as it is: `perLine(line, lineNumber)` sees each line without its
/// line break, and `perBreak` each line break (CrLf, a lone Cr or Lf) as it was, for the caller to
/// copy. Lets the window handle its events once per line; false when stopped.
template <typename PerLine, typename PerBreak>
bool walkLinesAsTheyAre(TextView text, RunContext& ctx, PerLine&& perLine, PerBreak&& perBreak) {
    LineReader lines(text, LineEnds::Any);
    for (TextView line; lines.next(line);) {
        if (ctx.poll()) return false;
        perLine(line, lines.lineNumber());
        if (!lines.lineBreak().empty()) perBreak(lines.lineBreak());
    }
    return true;
}

/// The writer of a run's result: refused past the run's budget, handed to the run's sink as it
/// grows when the run streams.
inline LineWriter resultWriter(RunContext& ctx, std::size_t reserve) {
    return LineWriter(reserve, ctx.resultBudget(), ctx.resultSink());
}

/// How the result of a line walk ends.
enum class FinalBreak {
    AsInput,  // with a line break exactly when the upper text did
    Never,    // the last written line without one
    Always,   // every written line with one
};

/// The upper text in the line model: every CrLf, then every Cr, read as Lf; lines are the pieces
/// between the Lf, a final Lf ending the last line. The lines are read from the text as it is;
/// the normalised text is made only when an operation asks for it whole.
class LineText {
public:
    explicit LineText(TextView upper) : m_raw(upper) {}

    /// The line model of `upper`, or nothing after the message when it holds two line breaks in a
    /// row (an empty line between two, or two at the end).
    static std::optional<LineText> refusingEmptyLines(TextView upper, RunContext& ctx) {
        if (!hasConsecutiveLineBreaksIn(upper)) return LineText(upper);
        refuseEmptyLine(upper, ctx);
        return std::nullopt;
    }

    /// The text as it is.
    TextView raw() const { return m_raw; }
    /// The normalised text (Lf line breaks), copied the first time when the text holds a Cr.
    TextView normalized() const {
        if (findUnit(m_raw, kCr) == TextView::npos) return m_raw;
        if (!m_normalized) m_normalized = normalizeLineBreaks(m_raw);
        return *m_normalized;
    }
    /// No line break at all.
    bool isOneLine() const { return findLineBreak(m_raw) == TextView::npos; }
    /// Whether the text ends with a line break.
    bool endsWithLineBreak() const { return !m_raw.empty() && (m_raw.back() == kLf || m_raw.back() == kCr); }
    /// Line breaks plus one, a CrLf being one break.
    std::size_t lineCount() const { return lineCountOf(m_raw); }

    /// Calls `perLine(line, out)` for every line, letting the window handle its events once per
    /// line; every line written to `out` ends with CrLf but, as `finalBreak` says, the last.
    /// `perLine` may return false to end the run without a result. Nothing when stopped.
    template <typename PerLine>
    std::optional<Text> eachLine(RunContext& ctx, PerLine&& perLine, std::size_t reserve = 0,
                                 FinalBreak finalBreak = FinalBreak::AsInput) const {
        LineReader lines(m_raw, LineEnds::Any);
        LineWriter out = resultWriter(ctx, reserve);
        for (TextView line; !ctx.poll() && lines.next(line);) {
            try {
                if constexpr (std::is_same_v<decltype(perLine(line, out)), bool>) {
                    if (!perLine(line, out)) return std::nullopt;
                } else {
                    perLine(line, out);
                }
            } catch (...) {
                // The line a failure came from is where the user looks first.
                ctx.concerns(line);
                throw;
            }
        }
        if (ctx.cancelled()) return std::nullopt;
        if (finalBreak == FinalBreak::Always) return out.take(false);
        return out.take(finalBreak == FinalBreak::Never || lines.appendedLf());
    }

    /// Every line, letting the window handle its events once per line; nothing when stopped.
    std::optional<std::vector<TextView>> lines(RunContext& ctx) const {
        std::vector<TextView> all;
        LineReader reader(m_raw, LineEnds::Any);
        for (TextView line; !ctx.poll() && reader.next(line);)
            all.push_back(line);
        if (ctx.cancelled()) return std::nullopt;
        return all;
    }

private:
    TextView m_raw;
    mutable std::optional<Text> m_normalized;
};

/// A UTF-8 text in the line model, for the runs on its bytes: read as it is when its breaks are all
/// Lf or all CrLf, else from a normalised copy held here.
class Utf8Lines {
public:
    explicit Utf8Lines(std::string_view upper) : m_shape(lineBreakShapeOf(upper)), m_text(upper) {
        if (m_shape.uniform) return;
        normalizeLineBreaksInto(upper, m_normalized);
        m_text = m_normalized;
    }
    Utf8Lines(const Utf8Lines&) = delete;
    Utf8Lines& operator=(const Utf8Lines&) = delete;

    /// Two line breaks in a row (an empty line between two, or two at the end).
    bool hasConsecutiveLineBreaks() const { return m_shape.consecutive; }
    /// The text read: its breaks all Lf, or all CrLf.
    std::string_view text() const { return m_text; }
    /// The bytes of one of its breaks.
    std::size_t breakBytes() const { return m_shape.crLf ? 2 : 1; }
    bool endsWithLineBreak() const { return !m_text.empty() && m_text.back() == '\n'; }

    /// The lines as LineText::lines() gives them; nothing when stopped.
    std::optional<std::vector<std::string_view>> lines(RunContext& ctx) const {
        std::vector<std::string_view> all;
        std::size_t from = 0;
        do {
            if (ctx.poll()) return std::nullopt;
            const std::size_t lf = m_text.find('\n', from);
            const std::size_t end = lf == std::string_view::npos ? m_text.size() : lf + 1 - breakBytes();
            all.push_back(m_text.substr(from, end - from));
            from = lf == std::string_view::npos ? m_text.size() + 1 : lf + 1;
        } while (from < m_text.size());
        return all;
    }

private:
    LineBreakShape m_shape;
    std::string_view m_text;
    std::string m_normalized;
};

}  // namespace kivo
