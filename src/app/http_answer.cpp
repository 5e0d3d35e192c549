#include "app/http_answer.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kivo::app {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// A whole number in `base`, without sign or blanks; nothing on overflow or any other character.
bool parseNumber(std::string_view text, int base, std::size_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "HTTP/1.1 200 OK": the three digits after the version.
int statusOf(std::string_view line) {
    if (line.substr(0, 5) != "HTTP/") return 0;
    const auto space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4) return 0;
    std::size_t code = 0;
    if (!parseNumber(line.substr(space + 1, 3), 10, code) || code < 100) return 0;
    return static_cast<int>(code);
}

}  // namespace

HttpAnswerReader::State HttpAnswerReader::feed(std::string_view bytes) {
    if (state() != State::Reading) return state();
    m_pending.append(bytes);
    while (step()) {
    }
    return state();
}

HttpAnswerReader::State HttpAnswerReader::end() {
    if (m_step == Step::UntilEnd) m_step = Step::Done;
    if (m_step != Step::Done) m_step = Step::Failed;
    return state();
}

HttpAnswerReader::State HttpAnswerReader::state() const {
    if (m_step == Step::Done) return State::Done;
    return m_step == Step::Failed ? State::Failed : State::Reading;
}

std::string_view HttpAnswerReader::header(std::string_view name) const {
    const std::string key = lowered(name);
    for (const auto& [field, value] : m_headers)
        if (field == key) return value;
    return {};
}

bool HttpAnswerReader::takeLine(std::string& line) {
    const auto lf = m_pending.find('\n');
    if (lf == std::string::npos) {
        // A line longer than a whole head may be is no HTTP.
        if (m_pending.size() > kMaxHeadBytes) fail();
        return false;
    }
    line.assign(m_pending, 0, lf > 0 && m_pending[lf - 1] == '\r' ? lf - 1 : lf);
    m_pending.erase(0, lf + 1);
    return true;
}

bool HttpAnswerReader::takeHeadLine(std::string& line) {
    if (!takeLine(line)) return false;
    m_headBytes += line.size() + 2;
    return m_headBytes <= kMaxHeadBytes || fail();
}

void HttpAnswerReader::takeBody(std::size_t count) {
    m_body.append(m_pending, 0, count);
    m_pending.erase(0, count);
}

bool HttpAnswerReader::fail() {
    m_step = Step::Failed;
    m_pending.clear();
    return false;
}

// The body's framing, from the head just read (RFC 9112, 6.3): chunks when the transfer coding
// says so, else the Content-Length, else everything until the connection ends.
void HttpAnswerReader::startBody() {
    if (m_status == 204 || m_status == 304) {
        m_step = Step::Done;
        return;
    }
    const std::string coding = lowered(header("transfer-encoding"));
    if (!coding.empty()) {
        m_step =
            trimmed(coding.substr(coding.rfind(',') + 1)) == "chunked" ? Step::ChunkSize : Step::UntilEnd;
        return;
    }
    const std::string_view length = header("content-length");
    if (length.empty()) {
        m_step = Step::UntilEnd;
        return;
    }
    if (!parseNumber(length, 10, m_left) || m_left > m_maxBody) {
        fail();
        return;
    }
    m_step = m_left == 0 ? Step::Done : Step::Length;
}

bool HttpAnswerReader::step() {
    std::string line;
    switch (m_step) {
        case Step::StatusLine:
            if (!takeHeadLine(line)) return false;
            m_status = statusOf(line);
            if (m_status == 0) return fail();
            m_headers.clear();
            m_step = Step::Headers;
            return true;
        case Step::Headers: {
            if (!takeHeadLine(line)) return false;
            if (!line.empty()) {
                const auto colon = line.find(':');
                if (colon == std::string::npos) return fail();
                m_headers.emplace_back(lowered(std::string_view(line).substr(0, colon)),
                                       trimmed(std::string_view(line).substr(colon + 1)));
                return true;
            }
            // An informational answer (100 Continue) comes before the real one.
            if (m_status < 200) {
                m_step = Step::StatusLine;
                return true;
            }
            startBody();
            return m_step != Step::Failed;
        }
        case Step::Length: {
            const std::size_t count = std::min(m_left, m_pending.size());
            takeBody(count);
            m_left -= count;
            if (m_left == 0) m_step = Step::Done;
            return false;
        }
        case Step::UntilEnd:
            if (m_body.size() + m_pending.size() > m_maxBody) return fail();
            takeBody(m_pending.size());
            return false;
        case Step::ChunkSize: {
            if (!takeLine(line)) return false;
            const std::string_view size = trimmed(std::string_view(line).substr(0, line.find(';')));
            // A chunk is refused by its declared size, before any of it arrives.
            if (!parseNumber(size, 16, m_left) || m_left > m_maxBody - m_body.size()) return fail();
            m_step = m_left == 0 ? Step::Trailer : Step::ChunkData;
            return true;
        }
        case Step::ChunkData: {
            const std::size_t count = std::min(m_left, m_pending.size());
            takeBody(count);
            m_left -= count;
            if (m_left > 0) return false;
            m_step = Step::ChunkEnd;
            return true;
        }
        case Step::ChunkEnd:
            if (!takeLine(line)) return false;
            if (!line.empty()) return fail();
            m_step = Step::ChunkSize;
            return true;
        case Step::Trailer:
            if (!takeHeadLine(line)) return false;
            if (line.empty()) m_step = Step::Done;
            return true;
        case Step::Done:
        case Step::Failed:
            return false;
    }
    return false;
}

}  // namespace kivo::app
