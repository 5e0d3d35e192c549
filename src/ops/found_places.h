#pragma once

#include <cstddef>
#include <string>

#include "ops/operation.h"
#include "text/characters.h"

namespace kivo {

/// Walks a text line by line as it is: `perLine(line, lineNumber)` sees each line without its
/// line break, and the line breaks (CrLf, a lone Cr or Lf) stay as they were for the caller to
/// copy. Lets the window handle its events once per line; false when stopped.
template <typename PerLine, typename PerBreak>
bool walkLinesAsTheyAre(TextView text, RunContext& ctx, PerLine&& perLine, PerBreak&& perBreak) {
    std::size_t number = 1;
    for (std::size_t start = 0;; ++number) {
        if (ctx.poll()) return false;
        std::size_t end = start;
        while (end < text.size() && text[end] != kCr && text[end] != kLf)
            ++end;
        perLine(text.substr(start, end - start), number);
        if (end == text.size()) return true;
        const std::size_t breakLength =
            text[end] == kCr && end + 1 < text.size() && text[end + 1] == kLf ? 2 : 1;
        perBreak(text.substr(end, breakLength));
        start = end + breakLength;
    }
}

/// The places of what a run found, for one information message: "…（3件）：1行5文字目：X、…".
/// Lists the first few; a message box of thousands of places helps no one.
class FoundPlaces {
public:
    explicit FoundPlaces(TextView heading) : m_heading(heading) {}

    void add(std::size_t line, std::size_t column, TextView what) {
        if (m_count++ >= kListed) return;
        if (!m_list.empty()) m_list += u"、";
        m_list += decimalText(static_cast<long long>(line));
        m_list += u"行";
        m_list += decimalText(static_cast<long long>(column));
        m_list += u"文字目：";
        m_list += what;
    }
    bool empty() const { return m_count == 0; }
    std::size_t count() const { return m_count; }

    /// The message, one line: the heading, the count, the places listed, and how many more.
    Text message() const {
        Text out(m_heading);
        out += u"（" + decimalText(static_cast<long long>(m_count)) + u"件）：" + m_list;
        if (m_count > kListed)
            out += u"、ほか" + decimalText(static_cast<long long>(m_count - kListed)) + u"件";
        return out;
    }
    void informIfAny(RunContext& ctx) const {
        if (!empty()) ctx.inform(message());
    }

private:
    static constexpr std::size_t kListed = 10;
    TextView m_heading;
    Text m_list;
    std::size_t m_count = 0;
};

}  // namespace kivo
