#include "app/http_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace kivo::app {
namespace {

using State = HttpAnswerReader::State;

struct Read {
    State state;
    int status;
    std::string body;
};

// The answer fed `piece` bytes at a time, then the connection's end when `ends`.
Read read(const std::string& answer, std::size_t piece, std::size_t maxBody, bool ends) {
    HttpAnswerReader reader(maxBody);
    for (std::size_t at = 0; at < answer.size() && reader.state() == State::Reading; at += piece)
        reader.feed(std::string_view(answer).substr(at, piece));
    if (ends) reader.end();
    return {reader.state(), reader.status(), reader.body()};
}

TEST(HttpAnswer, FramingAndBounds) {
    struct Case {
        const char* what;
        std::string answer;
        bool ends;  // the connection ends after the bytes
        Read expected;
    };
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const Case cases[] = {
        {"length", ok + "Content-Length: 5\r\n\r\nhello and more", false, {State::Done, 200, "hello"}},
        {"length, cut short", ok + "Content-Length: 5\r\n\r\nhel", true, {State::Failed, 200, "hel"}},
        {"length past the limit", ok + "Content-Length: 11\r\n\r\n", false, {State::Failed, 200, ""}},
        {"length at the limit",
         ok + "Content-Length: 10\r\n\r\n0123456789",
         false,
         {State::Done, 200, "0123456789"}},
        {"length not a number", ok + "Content-Length: 5x\r\n\r\nhello", false, {State::Failed, 200, ""}},
        {"until the end", ok + "Connection: close\r\n\r\nhello", true, {State::Done, 200, "hello"}},
        {"until the end, still open", ok + "\r\nhello", false, {State::Reading, 200, "hello"}},
        {"until the end, past the limit", ok + "\r\n0123456789x", false, {State::Failed, 200, "0123456789"}},
        {"chunks",
         ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nhel\r\n2;x=y\r\nlo\r\n0\r\nTrailer: 1\r\n\r\nafter",
         false,
         {State::Done, 200, "hello"}},
        {"chunks, upper-case size",
         ok + "Transfer-Encoding: Chunked\r\n\r\nA\r\n0123456789\r\n0\r\n\r\n",
         false,
         {State::Done, 200, "0123456789"}},
        {"chunks, cut short",
         ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhel",
         true,
         {State::Failed, 200, "hel"}},
        // Refused by its declared size before a byte of it arrives.
        {"one endless chunk",
         ok + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFF\r\n",
         false,
         {State::Failed, 200, ""}},
        {"chunk size overflows",
         ok + "Transfer-Encoding: chunked\r\n\r\n1FFFFFFFFFFFFFFFF\r\n",
         false,
         {State::Failed, 200, ""}},
        {"chunks past the limit",
         ok + "Transfer-Encoding: chunked\r\n\r\n6\r\n012345\r\n5\r\n",
         false,
         {State::Failed, 200, "012345"}},
        {"chunk without its line end",
         ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n",
         false,
         {State::Failed, 200, "ab"}},
        {"chunked wins over a length",
         ok + "Content-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
         false,
         {State::Done, 200, "ab"}},
        {"Lf line ends", "HTTP/1.0 404 Not Found\nContent-Length: 2\n\nno", false, {State::Done, 404, "no"}},
        {"informational first",
         "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nok",
         false,
         {State::Done, 200, "ok"}},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", false, {State::Done, 204, ""}},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n", false, {State::Failed, 0, ""}},
        {"header without colon", ok + "Broken\r\n\r\n", false, {State::Failed, 200, ""}},
        {"endless header", ok + "X: " + std::string(70000, 'a'), false, {State::Failed, 200, ""}},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, c.answer.size()}) {
            const Read r = read(c.answer, piece, 10, c.ends);
            EXPECT_EQ(r.state, c.expected.state) << c.what << ", pieces of " << piece;
            EXPECT_EQ(r.status, c.expected.status) << c.what << ", pieces of " << piece;
            // What a failed answer holds of its body depends on how its bytes came.
            if (r.state != State::Failed) {
                EXPECT_EQ(r.body, c.expected.body) << c.what << ", pieces of " << piece;
            }
        }
    }
}

TEST(HttpAnswer, HeadersByAnyCase) {
    HttpAnswerReader reader(100);
    reader.feed("HTTP/1.1 301 Moved\r\nLOCATION:  /elsewhere \r\ncontent-type: text/html\r\n\r\n");
    EXPECT_EQ(reader.status(), 301);
    EXPECT_EQ(reader.header("Location"), "/elsewhere");
    EXPECT_EQ(reader.header("Content-Type"), "text/html");
    EXPECT_EQ(reader.header("Server"), "");
}

// A head that goes on and on fails once it passes the bound, however it is cut into lines.
TEST(HttpAnswer, HeadIsBounded) {
    HttpAnswerReader reader(100);
    reader.feed("HTTP/1.1 200 OK\r\n");
    const std::string field = "X-Filler: " + std::string(100, 'x') + "\r\n";
    for (std::size_t fed = 0; fed <= HttpAnswerReader::kMaxHeadBytes && reader.state() == State::Reading;
         fed += field.size())
        reader.feed(field);
    EXPECT_EQ(reader.state(), State::Failed);
}

}  // namespace
}  // namespace kivo::app
