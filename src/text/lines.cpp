#include "text/lines.h"

#include "text/characters.h"

namespace kivo {

Text withLineBreaks(TextView s, TextView lineBreak) {
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c == kCr) {
            if (i + 1 < s.size() && s[i + 1] == kLf) ++i;
            out.append(lineBreak);
        } else if (c == kLf) {
            out.append(lineBreak);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

Text normalizeLineBreaks(TextView s) {
    return withLineBreaks(s, u"\n");
}

bool hasConsecutiveLineBreaks(TextView normalized) {
    return normalized.find(u"\n\n") != TextView::npos;
}

Text lfToCrLf(TextView s) {
    return replaceAll(s, u"\n", kCrLf);
}

Text replaceAll(TextView s, TextView find, TextView replacement) {
    if (find.empty()) return Text(s);
    Text out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (std::size_t at = s.find(find); at != TextView::npos; at = s.find(find, from)) {
        out.append(s.substr(from, at - from));
        out.append(replacement);
        from = at + find.size();
    }
    out.append(s.substr(from));
    return out;
}

std::size_t lineCount(TextView normalized) {
    std::size_t n = 1;
    for (char16_t c : normalized)
        n += c == kLf;
    return n;
}

LineReader::LineReader(TextView normalized)
    : m_text(normalized), m_appended(normalized.empty() || normalized.back() != kLf) {}

bool LineReader::next(TextView& line) {
    if (m_pos > m_text.size() || (m_pos == m_text.size() && !m_appended)) return false;
    const std::size_t lf = m_text.find(kLf, m_pos);
    const std::size_t end = lf == TextView::npos ? m_text.size() : lf;
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    return true;
}

Text LineWriter::take(bool appendedLf) {
    if (appendedLf && m_out.size() >= 2) m_out.resize(m_out.size() - 2);
    return std::move(m_out);
}

}  // namespace kivo
