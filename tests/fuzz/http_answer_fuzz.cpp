// An HTTP answer of any bytes, cut into pieces at any points: never a crash, never more body than
// the limit, and a finished answer's body the same however its bytes were cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/http_answer.h"

using kivo::app::HttpAnswerReader;

namespace {

constexpr std::size_t kMaxBody = 64;

// The first byte gives the piece length (0: the whole at once); the connection may end after.
HttpAnswerReader readInPieces(std::string_view answer, std::size_t piece, bool ends) {
    HttpAnswerReader reader(kMaxBody);
    if (piece == 0) piece = answer.size() + 1;
    for (std::size_t at = 0; at < answer.size(); at += piece) {
        reader.feed(answer.substr(at, piece));
        if (reader.body().size() > kMaxBody) std::abort();
    }
    if (ends) reader.end();
    return reader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool ends = data[0] & 0x80;
    const HttpAnswerReader whole = readInPieces(answer, 0, ends);
    const HttpAnswerReader pieces = readInPieces(answer, data[0] & 0x7F, ends);
    if (whole.state() != pieces.state() || whole.status() != pieces.status()) std::abort();
    if (whole.state() == HttpAnswerReader::State::Done && whole.body() != pieces.body()) std::abort();
    return 0;
}
