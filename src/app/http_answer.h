#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo::app {

/// One HTTP/1.x answer read as its bytes arrive, with a bound on everything it keeps: a head (and
/// a chunked body's trailer) of at most kMaxHeadBytes, and a body of at most `maxBody` bytes. A
/// longer body fails the answer as soon as it is known to be longer, whatever its framing: a
/// Content-Length, a chunk's declared size, or the bytes before the connection ends.
class HttpAnswerReader {
public:
    static constexpr std::size_t kMaxHeadBytes = std::size_t{64} << 10;

    enum class State { Reading, Done, Failed };

    explicit HttpAnswerReader(std::size_t maxBody) : m_maxBody(maxBody) {}

    /// Takes the next bytes received; the state after them. Bytes past the answer's end are
    /// ignored.
    State feed(std::string_view bytes);
    /// The connection ended: an answer that runs until then is done, any other is cut short.
    State end();

    State state() const;
    /// The status code of the final (not informational) answer; 0 before its status line.
    int status() const { return m_status; }
    /// The value of the first header field called `name` (any case), or empty.
    std::string_view header(std::string_view name) const;
    const std::string& body() const { return m_body; }

private:
    enum class Step {
        StatusLine,
        Headers,
        Length,
        UntilEnd,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailer,
        Done,
        Failed
    };

    /// Takes one step from the pending bytes; false when it needs more bytes.
    bool step();
    /// The next line of the pending bytes, without its CrLf or Lf, or false when it is not whole.
    bool takeLine(std::string& line);
    /// takeLine() for a line of the head or the trailer, which count towards kMaxHeadBytes.
    bool takeHeadLine(std::string& line);
    void takeBody(std::size_t count);
    void startBody();
    bool fail();

    std::size_t m_maxBody;
    Step m_step = Step::StatusLine;
    std::string m_pending;
    std::size_t m_headBytes = 0;
    int m_status = 0;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_body;
    std::size_t m_left = 0;  // of the body's length or of the current chunk
};

}  // namespace kivo::app
