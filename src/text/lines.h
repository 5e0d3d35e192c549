#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/errors.h"
#include "text/simd.h"

namespace kivo {

using Text = std::u16string;
using TextView = std::u16string_view;

/// The index of the first `unit` of `s` at or after `from`, or npos: TextView::find, a block of
/// units at a time.
std::size_t findUnit(TextView s, char16_t unit, std::size_t from = 0);

/// The index of the last `unit` of `s`, or npos.
std::size_t findLastUnit(TextView s, char16_t unit);

/// The index of the first Cr or Lf of `s` at or after `from`, or npos.
std::size_t findLineBreak(TextView s, std::size_t from = 0);

/// The index of the first occurrence of `pattern` in `s` at or after `from`, or npos, as
/// TextView::find finds it (an empty pattern at `from` when from <= size).
std::size_t findText(TextView s, TextView pattern, std::size_t from = 0);

/// How often `unit` occurs in `s`.
std::size_t countUnit(TextView s, char16_t unit);

/// Every CrLf becomes Lf, then every remaining Cr becomes Lf.
Text normalizeLineBreaks(TextView s);
/// normalizeLineBreaks of UTF-8 bytes into `out`, replacing what it held (its storage is reused).
void normalizeLineBreaksInto(std::string_view utf8, std::string& out);

/// The text with its line breaks normalised as normalizeLineBreaks does, copied only when it holds
/// a Cr: otherwise it is a view of `s`, which must then outlive it.
class NormalizedText {
public:
    explicit NormalizedText(TextView s);

    TextView view() const { return m_copied ? TextView(m_copy) : m_original; }
    operator TextView() const { return view(); }
    /// True when the text held a Cr and is a normalised copy.
    bool copied() const { return m_copied; }
    /// hasConsecutiveLineBreaks of the normalised text, found in the pass that looked for a Cr.
    bool hasConsecutiveLineBreaks() const { return m_consecutive; }

private:
    TextView m_original;
    Text m_copy;
    bool m_copied = false;
    bool m_consecutive = false;
};

/// Every CrLf, then every remaining Cr, then every Lf of `s` becomes `lineBreak` (an inserted
/// parameter text must bring exactly one CrLf per line break into a CrLf result).
Text withLineBreaks(TextView s, TextView lineBreak);

/// True when a normalised text holds two Lf in a row (an empty line between two line breaks, or
/// two line breaks at the end).
bool hasConsecutiveLineBreaks(TextView normalized);

/// Every Lf becomes CrLf.
Text lfToCrLf(TextView s);

/// Replaces every occurrence of `find`, scanning left to right without rescanning inserted text.
/// An empty `find` leaves the text as it is.
Text replaceAll(TextView s, TextView find, TextView replacement);

/// Number of line breaks plus one, after normalisation: an empty text has one line.
std::size_t lineCount(TextView normalized);

/// Which units end a line: Lf alone (a normalised text), or CrLf, Cr and Lf alike (a text as it
/// is, read as its normalisation would be without making it).
enum class LineEnds { Lf, Any };

/// Walks the lines of a text. A text that does not end with a line break is treated as if one Lf
/// had been appended, and `appendedLf()` says so; an empty text is one empty line.
class LineReader {
public:
    explicit LineReader(TextView text, LineEnds ends = LineEnds::Lf);

    /// Puts the next line (without its line break) into `line`; false when no line is left.
    bool next(TextView& line);
    bool appendedLf() const { return m_appended; }
    /// The line break of the line read last as it is in the text (CrLf, Cr or Lf), empty for the
    /// appended one: the lines and their breaks together are the text.
    TextView lineBreak() const { return m_break; }
    /// The number of the line read last, from 1.
    std::size_t lineNumber() const { return m_number; }

private:
    TextView m_text;
    std::size_t m_pos = 0;
    LineEnds m_ends;
    bool m_appended;
    TextView m_break;
    std::size_t m_number = 0;
};

/// The text without its line breaks (every Cr and Lf), its lines joined.
Text withoutLineBreaks(TextView s);

/// Line breaks, a CrLf counting one, plus one: lineCount() of the normalised text.
std::size_t lineCountOf(TextView s);

/// What a text's line breaks are like, read in one pass from the text as it is (UTF-16 or UTF-8).
struct LineBreakShape {
    /// Every break is Lf, or every one is CrLf (a text without one counts): the text can be read
    /// line by line as it is.
    bool uniform = true;
    /// hasConsecutiveLineBreaks() of the normalised text.
    bool consecutive = false;
    /// Uniform, with CrLf breaks.
    bool crLf = false;
};
LineBreakShape lineBreakShapeOf(TextView s);
LineBreakShape lineBreakShapeOf(std::string_view utf8);

/// The line breaks of UTF-8 bytes: each CrLf, Lf and lone Cr.
std::size_t lineBreakCountOf(std::string_view utf8);

/// Every CrLf of UTF-8 bytes becomes Lf, in place; a lone Cr stays.
void crLfToLfIn(std::string& utf8);

namespace detail {
/// lineBreakShapeOf(utf8) by the given kernel.
LineBreakShape lineBreakShapeOf(std::string_view utf8, simd::Kernel kernel);
/// lineBreakCountOf(utf8) by the given kernel.
std::size_t lineBreakCountOf(std::string_view utf8, simd::Kernel kernel);
/// crLfToLfIn(utf8) by the given kernel.
void crLfToLfIn(std::string& utf8, simd::Kernel kernel);
}  // namespace detail

/// The line breaks a text has: none, all of one kind, or several kinds.
enum class LineBreakStyle { None, Lf, CrLf, Cr, Mixed };
LineBreakStyle lineBreakStyleOf(TextView s);
LineBreakStyle lineBreakStyleOf(std::string_view utf8);
/// lineBreakStyleOf(utf8), its shape known already.
LineBreakStyle lineBreakStyleOf(std::string_view utf8, const LineBreakShape& shape);
/// The style of a text made of two parts of styles `a` and `b`, no CrLf split between them.
LineBreakStyle combinedStyle(LineBreakStyle a, LineBreakStyle b);

inline bool hasConsecutiveLineBreaksIn(TextView s) {
    return lineBreakShapeOf(s).consecutive;
}

/// Takes a result a piece at a time as it is made, instead of whole at the end: the command line
/// writes it out as it comes.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void write(TextView units) = 0;
    virtual void writeBytes(std::string_view utf8) = 0;
};

/// Builds a result of CrLf-terminated lines, in UTF-16 units or UTF-8 bytes; `take` removes the
/// final CrLf when the input's final Lf had been appended, so that the output ends with a line
/// break exactly when the input did.
template <typename Char>
class BasicLineWriter {
public:
    using View = std::basic_string_view<Char>;
    using String = std::basic_string<Char>;

    BasicLineWriter() = default;
    /// Room for `units` from the start, when the result's length or a bound of it is known; a
    /// result that would grow past `budget` units is refused (a run-time error) before it does.
    /// With a sink, the lines go to it as they pile up, and take() gives what is left; the budget
    /// still counts them all, so that a result is refused or accepted wherever it goes.
    explicit BasicLineWriter(std::size_t units, std::size_t budget = kNoBudget, ResultSink* sink = nullptr)
        : m_budget(budget), m_sink(sink) {
        grow(units);
        // A streamed result is never held whole.
        m_out.reserve(sink ? std::min(units, kFlushUnits + kFlushUnits / 4) : units);
    }

    void addLine(View line) {
        add(line);
        endLine();
    }
    /// Appends to the line being built, without ending it.
    void add(View piece) {
        grow(m_flushed + m_out.size() + piece.size());
        m_out.append(piece);
    }
    void endLine() {
        add(kLineEnd);
        if (m_sink && m_out.size() >= kFlushUnits) flush();
    }
    bool empty() const { return m_out.empty(); }
    String take(bool appendedLf) {
        if (appendedLf && m_out.size() >= 2) m_out.resize(m_out.size() - 2);
        return std::move(m_out);
    }

    static constexpr std::size_t kNoBudget = static_cast<std::size_t>(-1);

private:
    static constexpr std::size_t kFlushUnits = std::size_t{1} << 16;
    static constexpr Char kCrLf[] = {Char('\r'), Char('\n')};
    static constexpr View kLineEnd{kCrLf, 2};
    // Everything but the last line's CrLf, which take() may still drop.
    void flush() {
        const std::size_t done = m_out.size() - kLineEnd.size();
        if constexpr (sizeof(Char) == 1)
            m_sink->writeBytes(View(m_out).substr(0, done));
        else
            m_sink->write(View(m_out).substr(0, done));
        m_flushed += done;
        m_out.assign(kLineEnd);
    }

    void grow(std::size_t units) const {
        if (units > m_budget) throw ResultBeyondBudget(units, m_budget);
    }

    std::size_t m_budget = kNoBudget;
    ResultSink* m_sink = nullptr;
    std::size_t m_flushed = 0;
    String m_out;
};

using LineWriter = BasicLineWriter<char16_t>;
/// Its budget counts bytes.
using Utf8LineWriter = BasicLineWriter<char>;

}  // namespace kivo
