#pragma once

#include <cstddef>
#include <optional>
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
    auto isBreak = [](char16_t c) { return c == kCr || c == kLf; };
    for (std::size_t i = 0; i + 1 < upper.size(); ++i) {
        if (!isBreak(upper[i])) continue;
        // The break that ends this line: a CrLf is one.
        const std::size_t next = upper[i] == kCr && upper[i + 1] == kLf ? i + 2 : i + 1;
        if (next < upper.size() && isBreak(upper[next])) {
            const bool crLf = upper[next] == kCr && next + 1 < upper.size() && upper[next + 1] == kLf;
            ctx.concerns(upper.substr(next, crLf ? 2 : 1));
            break;
        }
        i = next - 1;
    }
    ctx.inform(kConsecutiveLineBreaks);
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

}  // namespace kivo
