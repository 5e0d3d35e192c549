#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kivo {

using Text = std::u16string;
using TextView = std::u16string_view;

/// Every CrLf becomes Lf, then every remaining Cr becomes Lf.
Text normalizeLineBreaks(TextView s);

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

/// Walks the Lf-separated lines of a normalised text. A text that does not end with Lf is treated
/// as if one Lf had been appended, and `appendedLf()` says so; an empty text is one empty line.
class LineReader {
public:
    explicit LineReader(TextView normalized);

    /// Puts the next line (without its Lf) into `line`; false when no line is left.
    bool next(TextView& line);
    bool appendedLf() const { return m_appended; }

private:
    TextView m_text;
    std::size_t m_pos = 0;
    bool m_appended;
};

/// Builds a result of CrLf-terminated lines; `take` removes the final CrLf when the input's final
/// Lf had been appended, so that the output ends with a line break exactly when the input did.
class LineWriter {
public:
    void addLine(TextView line) {
        m_out.append(line);
        m_out.append(u"\r\n");
    }
    /// Appends to the line being built, without ending it.
    void add(TextView piece) { m_out.append(piece); }
    void endLine() { m_out.append(u"\r\n"); }
    bool empty() const { return m_out.empty(); }
    Text take(bool appendedLf);

private:
    Text m_out;
};

}  // namespace kivo
