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

/// How the result of a line walk ends.
enum class FinalBreak {
    AsInput,  // with a line break exactly when the upper text did
    Never,    // the last written line without one
    Always,   // every written line with one
};

/// The upper text in the line model: every CrLf, then every Cr, read as Lf; lines are the pieces
/// between the Lf, a final Lf ending the last line.
class LineText {
public:
    explicit LineText(TextView upper) : m_text(upper) {}

    /// The line model of `upper`, or nothing after the message when it holds two line breaks in a
    /// row (an empty line between two, or two at the end).
    static std::optional<LineText> refusingEmptyLines(TextView upper, RunContext& ctx) {
        LineText lines(upper);
        if (!lines.m_text.hasConsecutiveLineBreaks()) return lines;
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }

    /// The normalised text (Lf line breaks).
    TextView view() const { return m_text.view(); }
    operator TextView() const { return view(); }
    /// No line break at all.
    bool isOneLine() const { return findUnit(view(), kLf) == TextView::npos; }
    /// Whether the text ends with a line break.
    bool endsWithLineBreak() const { return !view().empty() && view().back() == kLf; }

    /// Calls `perLine(line, out)` for every line, letting the window handle its events once per
    /// line; every line written to `out` ends with CrLf but, as `finalBreak` says, the last.
    /// `perLine` may return false to end the run without a result. Nothing when stopped.
    template <typename PerLine>
    std::optional<Text> eachLine(RunContext& ctx, PerLine&& perLine, std::size_t reserve = 0,
                                 FinalBreak finalBreak = FinalBreak::AsInput) const {
        LineReader lines(view());
        LineWriter out(reserve);
        for (TextView line; !ctx.poll() && lines.next(line);) {
            if constexpr (std::is_same_v<decltype(perLine(line, out)), bool>) {
                if (!perLine(line, out)) return std::nullopt;
            } else {
                perLine(line, out);
            }
        }
        if (ctx.cancelled()) return std::nullopt;
        if (finalBreak == FinalBreak::Always) return out.take(false);
        return out.take(finalBreak == FinalBreak::Never || lines.appendedLf());
    }

    /// Every line, letting the window handle its events once per line; nothing when stopped.
    std::optional<std::vector<TextView>> lines(RunContext& ctx) const {
        std::vector<TextView> all;
        LineReader reader(view());
        for (TextView line; !ctx.poll() && reader.next(line);)
            all.push_back(line);
        if (ctx.cancelled()) return std::nullopt;
        return all;
    }

private:
    NormalizedText m_text;
};

}  // namespace kivo
