// The notices parsing of any server answer: never a crash, and the notices text keeps its shape
// (CrLf line breaks only where Lf were, no break tag left, no empty line, bounded length), the
// server text is empty or holds "<BODY>", and the log record always finds the notice it appended.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/notices.h"
#include "text/cp932.h"

namespace {

using kivo::Text;
using kivo::TextView;

// Bytes below 0x80 are ASCII; the others pick the pieces that steer the parsing.
constexpr TextView kTokens[] = {
    kivo::app::kNoticesMarker,
    u"<BODY>",
    u"<body>",
    u"<BR>",
    u"<br>",
    u"<Br />",
    u"<bR />",
    u"<BR/>",
    u"<BR",
    u"???",
    u"\r\n",
    u"\r\n\r\n",
    u"\n\n",
    u"  ",
    u"お知らせ",
    u"Kivoオートフィル",
    u"\xD800",
    u"\xDC00",
    u"～",
    u"\x3000",
};
constexpr std::size_t kTokenCount = sizeof(kTokens) / sizeof(kTokens[0]);

Text text(std::string_view bytes) {
    Text out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
        } else if (b == 0xFF && i + 1 < bytes.size()) {
            // A long stretch, to cross the 500-character cut.
            out.append(static_cast<unsigned char>(bytes[++i]) * 4u, u'x');
        } else {
            out.append(kTokens[(b - 0x80) % kTokenCount]);
        }
    }
    return out;
}

bool holdsTag(TextView s) {
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    for (TextView tag : {TextView(u"<BR>"), TextView(u"<BR />")})
        for (std::size_t i = 0; i + tag.size() <= s.size(); ++i) {
            std::size_t k = 0;
            while (k < tag.size() && upper(s[i + k]) == tag[k])
                ++k;
            if (k == tag.size()) return true;
        }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte splits the rest into the decoded answer and the raw bytes.
    const std::string_view all(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = std::min<std::size_t>(all.size(), data[0] * all.size() / 255);
    const std::string_view decodedBytes = all.substr(0, split);
    const std::string_view raw = all.substr(split);

    const Text decoded = text(decodedBytes);
    const Text server = kivo::app::serverText(data[0] & 1 ? std::optional<Text>(decoded) : std::nullopt, raw);
    if (!server.empty() && server.find(u"<BODY>") == Text::npos) __builtin_trap();

    for (const Text* source : {&server, &decoded}) {
        const std::optional<Text> notice = kivo::app::noticesText(*source);
        if (!notice) continue;
        const Text& n = *notice;
        // Every unit of the cut notice can at most double (an Lf becomes CrLf).
        if (n.empty() || n.size() > 2 * kivo::app::kNoticesMaxLength) __builtin_trap();
        if (n.front() == u' ' || n.find(u"\r\n\r\n") != Text::npos || holdsTag(n)) __builtin_trap();
        for (std::size_t i = 0; i < n.size(); ++i)
            if (n[i] == u'\n' && (i == 0 || n[i - 1] != u'\r')) __builtin_trap();
        for (const char16_t c : n)
            if ((c < 0x20 && c != u'\r' && c != u'\n') || (c >= 0x202A && c <= 0x202E) ||
                (c >= 0x2066 && c <= 0x2069))
                __builtin_trap();

        const Text log = kivo::app::logWithNotice(decoded, n);
        if (!kivo::app::logHoldsNotice(log, n)) __builtin_trap();
        const std::string bytes = kivo::app::infoLogBytes(log);
        if (bytes.size() != kivo::cp932::byteCount(log) + 2 || bytes.substr(bytes.size() - 2) != "\r\n")
            __builtin_trap();
    }
    (void)kivo::app::isShiftJisCharset(raw);
    return 0;
}
