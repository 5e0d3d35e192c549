#include "app/notices.h"

#include <algorithm>
#include <array>
#include <string>

#include "text/cp932.h"

namespace kivo::app {
namespace {

constexpr TextView kCrLf = u"\r\n";

char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

// Whether `s` continues at `at` with `tag` (upper-case ASCII), letters compared in any case.
bool tagAt(TextView s, std::size_t at, TextView tag) {
    if (s.size() - at < tag.size()) return false;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (asciiUpper(s[at + i]) != tag[i]) return false;
    return true;
}

// One pass suffices for both tags: the Lf put in place of one can never form part of another.
Text breakTagsToLf(TextView s) {
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == u'<') {
            if (tagAt(s, i, u"<BR>")) {
                out += u'\n';
                i += 4;
                continue;
            }
            if (tagAt(s, i, u"<BR />")) {
                out += u'\n';
                i += 6;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

// Control characters and the direction overrides and isolates could make a notice show other
// text than it holds (U+202E turns what follows around), so a notice shows without them.
bool spoofsTheShownText(char16_t c) {
    const bool control = c < 0x20 && c != u'\r' && c != u'\n';
    const bool bidiOverride = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    return control || bidiOverride;
}

Text withoutSpoofing(TextView s) {
    Text out;
    out.reserve(s.size());
    for (char16_t c : s)
        if (!spoofsTheShownText(c)) out += c;
    return out;
}

TextView trimSpaces(TextView s) {
    const std::size_t first = s.find_first_not_of(u' ');
    if (first == TextView::npos) return {};
    return s.substr(first, s.find_last_not_of(u' ') - first + 1);
}

}  // namespace

std::optional<Text> noticesText(TextView serverText) {
    const std::size_t marker = serverText.find(kNoticesMarker);
    if (marker == TextView::npos) return std::nullopt;
    const Text shown = withoutSpoofing(serverText.substr(marker + kNoticesMarker.size(), kNoticesMaxLength));
    const TextView notice = trimSpaces(shown);
    // Only Lf are widened: a lone Cr is left as the server sent it.
    Text text = lfToCrLf(replaceAll(breakTagsToLf(notice), kCrLf, u"\n"));
    const std::size_t emptyLine = text.find(u"\r\n\r\n");
    if (emptyLine != Text::npos) text.resize(emptyLine + kCrLf.size());
    if (text.empty()) return std::nullopt;
    return text;
}

Text serverText(const std::optional<Text>& decoded, std::string_view rawBytes) {
    Text text = decoded.value_or(Text());
    if (text.empty()) {
        text = cp932::decodeLenient(rawBytes);
    } else if (text.find(u"???") != Text::npos) {
        if (std::optional<Text> shiftJis = cp932::decode(rawBytes); shiftJis && !shiftJis->empty())
            text = std::move(*shiftJis);
    }
    if (text.find(u"<BODY>") == Text::npos) return Text();
    return text;
}

bool isShiftJisCharset(std::string_view label) {
    std::string name;
    for (char c : label) {
        if (c == '"' || c == '\'' || c == ' ') continue;
        name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    static constexpr std::array<std::string_view, 11> kNames = {
        "shift_jis",   "shift-jis", "sjis",       "x-sjis", "ms_kanji",   "csshiftjis",
        "windows-31j", "cp932",     "x-ms-cp932", "ms932",  "windows-932"};
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

bool logHoldsNotice(TextView log, TextView notice) {
    return log.find(notice) != TextView::npos;
}

Text logWithNotice(TextView log, TextView notice) {
    Text out;
    out.reserve(log.size() + notice.size() + kCrLf.size());
    out.append(log).append(notice).append(kCrLf);
    return out;
}

std::string infoLogBytes(TextView log) {
    Text text(log);
    text.append(kCrLf);
    return cp932::encode(text);
}

}  // namespace kivo::app
