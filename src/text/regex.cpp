#include "text/regex.h"

#include <unicode/utf16.h>

#include <exception>
#include <limits>

#include "text/icu_library.h"

namespace kivo {
namespace {

constexpr TextView kCrLf = u"\r\n";

struct ErrorText {
    int code;
    const char* english;
    const char16_t* japanese;
};

// ICU's reasons in words; a code not listed is told by its name alone.
constexpr ErrorText kErrorTexts[] = {
    {U_REGEX_RULE_SYNTAX, "syntax error", u"書き方に誤りがあります"},
    {U_REGEX_BAD_ESCAPE_SEQUENCE, "unknown escape sequence after \\", u"「\\」に続く文字が正しくありません"},
    {U_REGEX_PROPERTY_SYNTAX, "incorrect Unicode property", u"Unicodeプロパティの指定が正しくありません"},
    {U_REGEX_UNIMPLEMENTED, "a feature that is not supported", u"対応していない機能が使われています"},
    {U_REGEX_MISMATCHED_PAREN, "parentheses that do not pair", u"括弧の対応が取れていません"},
    {U_REGEX_NUMBER_TOO_BIG, "a number too large", u"数値が大きすぎます"},
    {U_REGEX_BAD_INTERVAL, "an incorrect {min,max}", u"{最小,最大}の指定が正しくありません"},
    {U_REGEX_MAX_LT_MIN, "in {min,max}, max is less than min",
     u"{最小,最大}の最大が最小より小さくなっています"},
    {U_REGEX_INVALID_BACK_REF, "a back reference to a group that does not exist",
     u"存在しないグループを後方参照しています"},
    {U_REGEX_INVALID_FLAG, "an incorrect mode flag", u"(?…)のフラグの指定が正しくありません"},
    {U_REGEX_LOOK_BEHIND_LIMIT, "a look-behind without a bounded length",
     u"後読みの中に長さの上限がない繰り返しがあります"},
    {U_REGEX_SET_CONTAINS_STRING, "a character class holding a string",
     u"文字クラスに文字列は入れられません"},
    {U_REGEX_MISSING_CLOSE_BRACKET, "a [ without its ]", u"「[」に対応する「]」がありません"},
    {U_REGEX_INVALID_RANGE, "a range [x-y] with x after y", u"範囲[x-y]のxがyより後ろの文字です"},
    {U_REGEX_OCTAL_TOO_BIG, "an octal character above \\0377", u"8進数の文字指定が大きすぎます"},
    {U_REGEX_PATTERN_TOO_BIG, "a pattern too long or too complex", u"正規表現が長すぎるか複雑すぎます"},
    {U_REGEX_INVALID_CAPTURE_GROUP_NAME, "a $ not followed by a group number or an existing {name}",
     u"「$」の後にグループの番号か存在する{名前}がありません"},
    {U_INDEX_OUTOFBOUNDS_ERROR, "a group that the pattern does not have",
     u"正規表現にないグループの番号です"},
    {U_REGEX_TIME_OUT, "the match took longer than its time limit", u"照合が制限時間を超えました"},
    {U_REGEX_STACK_OVERFLOW, "the match ran out of backtracking memory",
     u"照合のための記憶領域が足りなくなりました"},
};

const ErrorText* errorText(int code) {
    for (const ErrorText& e : kErrorTexts)
        if (e.code == code) return &e;
    return nullptr;
}

std::string englishMessage(RegexPart part, int code, std::size_t position) {
    const ErrorText* text = errorText(code);
    std::string where = part == RegexPart::Pattern       ? "regular expression"
                        : part == RegexPart::Replacement ? "replacement"
                                                         : "match";
    if (position != 0)
        where +=
            (part == RegexPart::Pattern ? ", near character " : ", character ") + std::to_string(position);
    const std::string name = icuLibrary().errorName(static_cast<UErrorCode>(code));
    return where + ": " + (text ? std::string(text->english) + " (" + name + ")" : name);
}

Text japaneseMessage(RegexPart part, int code, std::size_t position) {
    const ErrorText* text = errorText(code);
    Text where = part == RegexPart::Pattern       ? u"正規表現"
                 : part == RegexPart::Replacement ? u"置換文字列"
                                                  : u"";
    if (position != 0)
        where += u"の" + decimalUnits(position) + (part == RegexPart::Pattern ? u"文字目付近" : u"文字目");
    if (!where.empty()) where += u"：";
    const char* name = icuLibrary().errorName(static_cast<UErrorCode>(code));
    const Text icuName(name, name + std::char_traits<char>::length(name));
    return where + (text ? Text(text->japanese) + u"（" + icuName + u"）" : icuName) + u"。";
}

const UChar* icuText(TextView s) {
    return reinterpret_cast<const UChar*>(s.data());
}

std::int32_t icuLength(TextView s) {
    if (s.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw RunTimeError("text too long for ICU");
    return static_cast<std::int32_t>(s.size());
}

// ICU tells where a pattern fails as a line (lines end as CrLf, Cr, Lf, NEL or LS) and a count of
// characters (code points) into it; the position in the program's characters is its UTF-16 index
// plus one, at most the pattern's length (ICU may point just past the end).
std::size_t patternPosition(TextView pattern, const UParseError& where) {
    if (where.line < 1 || pattern.empty()) return 0;
    std::size_t i = 0;
    for (std::int32_t line = 1; line < where.line && i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'\r' && i + 1 < pattern.size() && pattern[i + 1] == u'\n') ++i;
        if (c == u'\r' || c == u'\n' || c == u'\u0085' || c == u'\u2028') ++line;
    }
    for (std::int32_t k = 0; k < where.offset && i < pattern.size(); ++k)
        i += U16_IS_LEAD(pattern[i]) && i + 1 < pattern.size() && U16_IS_TRAIL(pattern[i + 1]) ? 2 : 1;
    return std::min(i + 1, pattern.size());
}

void check(UErrorCode status, RegexPart part, std::size_t position = 0) {
    if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
    if (U_FAILURE(status)) throw RegexError(part, status, position);
}

bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// The text with CrLf line breaks, as a view when it has them already.
class CrLfText {
public:
    explicit CrLfText(TextView text) : m_view(text) {
        const LineBreakStyle style = lineBreakStyleOf(text);
        if (style != LineBreakStyle::None && style != LineBreakStyle::CrLf) {
            m_copy = withLineBreaks(text, kCrLf);
            m_view = m_copy;
        }
    }
    TextView view() const { return m_view; }

private:
    TextView m_view;
    Text m_copy;
};

// A result's line breaks made CrLf again where a replacement or a match's edge left a lone Cr or
// Lf: every text of the program breaks its lines with CrLf.
Text withCrLfBreaks(Text text) {
    const LineBreakStyle style = lineBreakStyleOf(text);
    if (style == LineBreakStyle::None || style == LineBreakStyle::CrLf) return text;
    return withLineBreaks(text, kCrLf);
}

// One run of a pattern over a text: the stop callback installed for its length, stop polled
// between matches too (the callback only comes inside long matches), ICU's failures thrown.
class Matching {
public:
    Matching(Regex& regex, TextView text, const RunControl& control)
        : m_regex(regex.icu()), m_text(text), m_control(control) {
        UErrorCode status = U_ZERO_ERROR;
        icuLibrary().setText(m_regex, icuText(text), icuLength(text), &status);
        if (m_control.stop) icuLibrary().setMatchCallback(m_regex, &Matching::onProgress, this, &status);
        check(status, RegexPart::Match);
    }
    ~Matching() {
        UErrorCode status = U_ZERO_ERROR;
        icuLibrary().setMatchCallback(m_regex, nullptr, nullptr, &status);
        // ICU keeps a pointer to the text: it must not outlive the run.
        icuLibrary().setText(m_regex, u"", 0, &status);
    }
    Matching(const Matching&) = delete;
    Matching& operator=(const Matching&) = delete;

    // Matches from here on see only [start, end), as a text of its own would be seen.
    void restrictTo(std::size_t start, std::size_t end) {
        UErrorCode status = U_ZERO_ERROR;
        icuLibrary().setRegion(m_regex, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end),
                               &status);
        check(status, RegexPart::Match);
    }

    bool next() {
        if ((++m_calls & 0x3FF) == 0 && m_control.stopped()) m_stopped = true;
        if (m_stopped) return false;
        UErrorCode status = U_ZERO_ERROR;
        const bool found = icuLibrary().findNext(m_regex, &status);
        if (m_failure) std::rethrow_exception(m_failure);
        if (status == U_REGEX_STOPPED_BY_CALLER) {
            m_stopped = true;
            return false;
        }
        check(status, RegexPart::Match);
        return found;
    }

    bool stopped() const { return m_stopped; }
    URegularExpression* icu() const { return m_regex; }
    std::size_t start(std::int32_t group = 0) const { return position(icuLibrary().start, group); }
    std::size_t end(std::int32_t group = 0) const { return position(icuLibrary().end, group); }
    // The text of a group, empty when it took no part in the match.
    TextView group(std::int32_t group) const {
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t from = icuLibrary().start(m_regex, group, &status);
        if (from < 0) return {};
        return m_text.substr(static_cast<std::size_t>(from), end(group) - static_cast<std::size_t>(from));
    }

private:
    static UBool U_CALLCONV onProgress(const void* context, std::int32_t) {
        auto* self = const_cast<Matching*>(static_cast<const Matching*>(context));
        // An exception must not cross ICU's C frames: it ends the match and is thrown afterwards.
        try {
            return !self->m_control.stopped();
        } catch (...) {
            self->m_failure = std::current_exception();
            return false;
        }
    }

    template <typename Get>
    std::size_t position(Get get, std::int32_t group) const {
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t at = get(m_regex, group, &status);
        check(status, RegexPart::Match);
        return static_cast<std::size_t>(at);
    }

    URegularExpression* m_regex;
    TextView m_text;
    const RunControl& m_control;
    std::size_t m_calls = 0;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

// A result's first room: the text and an eighth more, for replacements longer than their matches
// and CrLf for lone line breaks, so that a large result seldom moves as it grows.
std::size_t roomFor(TextView text) {
    return text.size() + text.size() / 8;
}

// The line [start, end) of `text` with its matches replaced, appended to `out`.
std::size_t replaceInStretch(Matching& m, TextView text, std::size_t start, std::size_t end,
                             const RegexReplacement& replacement, bool all, Text& out,
                             const RunControl& control) {
    std::size_t done = start, count = 0;
    while (m.next()) {
        out.append(text.substr(done, m.start() - done));
        replacement.appendTo(out, m.icu(), text);
        done = m.end();
        ++count;
        control.checkLength(out.size());
        if (!all) break;
    }
    out.append(text.substr(done, end - done));
    control.checkLength(out.size());
    return count;
}

std::optional<RegexResult> replaceInWholeText(TextView text, Regex& regex,
                                              const RegexReplacement& replacement, bool all,
                                              const RunControl& control) {
    const CrLfText crLf(text);
    Matching m(regex, crLf.view(), control);
    RegexResult result;
    result.text.reserve(std::min(roomFor(crLf.view()), control.resultBudget));
    result.count =
        replaceInStretch(m, crLf.view(), 0, crLf.view().size(), replacement, all, result.text, control);
    if (m.stopped()) return std::nullopt;
    result.text = withCrLfBreaks(std::move(result.text));
    control.checkLength(result.text.size());
    return result;
}

std::size_t offsetOf(TextView part, TextView whole) {
    return static_cast<std::size_t>(part.data() - whole.data());
}

std::optional<RegexResult> replaceLineByLine(TextView text, Regex& regex, const RegexReplacement& replacement,
                                             bool all, const RunControl& control) {
    Matching m(regex, text, control);
    LineReader lines(text, LineEnds::Any);
    RegexResult result;
    result.text.reserve(std::min(roomFor(text), control.resultBudget));
    TextView line;
    while (lines.next(line)) {
        const std::size_t start = offsetOf(line, text);
        m.restrictTo(start, start + line.size());
        result.count +=
            replaceInStretch(m, text, start, start + line.size(), replacement, all, result.text, control);
        if (m.stopped()) return std::nullopt;
        result.text.append(kCrLf);
    }
    if (lines.appendedLf()) result.text.resize(result.text.size() - kCrLf.size());
    if (replacement.breaksLines()) result.text = withCrLfBreaks(std::move(result.text));
    control.checkLength(result.text.size());
    return result;
}

// What an extraction takes of a match: all of it, or its first group.
TextView taken(const Matching& m, RegexExtraction extraction) {
    return m.group(extraction == RegexExtraction::FirstGroup ? 1 : 0);
}

void takeParts(Matching& m, RegexExtraction extraction, LineWriter& out, std::size_t& count) {
    while (m.next()) {
        const TextView part = taken(m, extraction);
        if (part.empty()) continue;
        out.addLine(part);
        ++count;
    }
}

bool endsWithLineBreak(TextView text) {
    return !text.empty() && isLineBreak(text.back());
}

std::optional<RegexResult> extractFromWholeText(TextView text, Regex& regex, RegexExtraction extraction,
                                                const RunControl& control) {
    const CrLfText crLf(text);
    Matching m(regex, crLf.view(), control);
    LineWriter out(0, control.resultBudget);
    RegexResult result;
    takeParts(m, extraction, out, result.count);
    if (m.stopped()) return std::nullopt;
    result.text = withCrLfBreaks(out.take(!endsWithLineBreak(text)));
    return result;
}

std::optional<RegexResult> extractLineByLine(TextView text, Regex& regex, RegexExtraction extraction,
                                             const RunControl& control) {
    Matching m(regex, text, control);
    LineReader lines(text, LineEnds::Any);
    LineWriter out(0, control.resultBudget);
    RegexResult result;
    const bool wholeLines =
        extraction == RegexExtraction::MatchingLines || extraction == RegexExtraction::NonMatchingLines;
    TextView line;
    while (lines.next(line)) {
        const std::size_t start = offsetOf(line, text);
        m.restrictTo(start, start + line.size());
        if (!wholeLines) {
            takeParts(m, extraction, out, result.count);
        } else if (m.next() == (extraction == RegexExtraction::MatchingLines)) {
            out.addLine(line);
            ++result.count;
        }
        if (m.stopped()) return std::nullopt;
    }
    result.text = out.take(lines.appendedLf());
    return result;
}

}  // namespace

RegexError::RegexError(RegexPart part, int icuCode, std::size_t position)
    : RefusedInput(englishMessage(part, icuCode, position), japaneseMessage(part, icuCode, position)),
      m_part(part),
      m_icuCode(icuCode),
      m_position(position) {}

const char* RegexError::icuName() const {
    return icuLibrary().errorName(static_cast<UErrorCode>(m_icuCode));
}

void Regex::Close::operator()(URegularExpression* regex) const {
    icuLibrary().close(regex);
}

Regex::Regex(TextView pattern, const RegexOptions& options) {
    // ICU refuses an empty pattern as an illegal argument: said in words here.
    if (pattern.empty()) throw RefusedInput("the regular expression is empty", u"正規表現が空です。");
    // UREGEX_UNIX_LINES stays off: Cr, Lf and CrLf all end a line for ^, $ and ., and a CrLf is
    // one line end ($ matches before its Cr, never between Cr and Lf).
    const std::uint32_t flags =
        (options.ignoreCase ? UREGEX_CASE_INSENSITIVE : 0) | (options.multiLine ? UREGEX_MULTILINE : 0);
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    m_regex.reset(icuLibrary().open(icuText(pattern), icuLength(pattern), flags, &where, &status));
    check(status, RegexPart::Pattern, patternPosition(pattern, where));
    if (options.timeLimit > 0) icuLibrary().setTimeLimit(m_regex.get(), options.timeLimit, &status);
    check(status, RegexPart::Pattern);
}

std::int32_t Regex::groupCount() const {
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t count = icuLibrary().groupCount(m_regex.get(), &status);
    check(status, RegexPart::Pattern);
    return count;
}

namespace {

UChar unitAt(std::int32_t offset, void* context) {
    return static_cast<const UChar*>(context)[offset];
}

// ICU's reading of $: as many decimal digits (of any script) as still name a group, at least
// one; or ${name} with a name of ASCII letters and the digits 1-9.
std::int32_t readGroup(TextView r, std::size_t& i, const Regex& regex, std::size_t dollar) {
    const auto fail = [&](UErrorCode code) { return RegexError(RegexPart::Replacement, code, dollar + 1); };
    const std::int32_t length = static_cast<std::int32_t>(r.size());
    std::int32_t at = static_cast<std::int32_t>(i);
    UChar32 c = -1;
    if (at < length) U16_GET(r.data(), 0, at, length, c);
    if (icuLibrary().isDigit(c)) {
        const std::int32_t groups = regex.groupCount();
        std::int32_t group = 0, digits = 0;
        while (at < length) {
            U16_GET(r.data(), 0, at, length, c);
            if (!icuLibrary().isDigit(c) || group * 10 + icuLibrary().charDigitValue(c) > groups) break;
            group = group * 10 + icuLibrary().charDigitValue(c);
            U16_FWD_1(r.data(), at, length);
            ++digits;
        }
        if (digits == 0) throw fail(U_INDEX_OUTOFBOUNDS_ERROR);
        i = static_cast<std::size_t>(at);
        return group;
    }
    if (c != u'{') throw fail(U_REGEX_INVALID_CAPTURE_GROUP_NAME);
    ++at;
    Text name;
    for (;;) {
        if (at >= length) throw fail(U_REGEX_INVALID_CAPTURE_GROUP_NAME);
        U16_NEXT(r.data(), at, length, c);
        if (c == u'}') break;
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'1' && c <= u'9')))
            throw fail(U_REGEX_INVALID_CAPTURE_GROUP_NAME);
        name += static_cast<char16_t>(c);
    }
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t group =
        icuLibrary().groupNumberFromName(regex.icu(), icuText(name), icuLength(name), &status);
    if (U_FAILURE(status)) throw fail(U_REGEX_INVALID_CAPTURE_GROUP_NAME);
    i = static_cast<std::size_t>(at);
    return group;
}

// After a backslash at i - 1: \uhhhh or \Uhhhhhhhh as ICU unescapes them, else the next unit as
// it is.
void readEscaped(TextView r, std::size_t& i, Text& literal) {
    if (r[i] == u'u' || r[i] == u'U') {
        std::int32_t at = static_cast<std::int32_t>(i);
        const UChar32 c = icuLibrary().unescapeAt(unitAt, &at, static_cast<std::int32_t>(r.size()),
                                                  const_cast<char16_t*>(r.data()));
        if (c != static_cast<UChar32>(0xFFFFFFFF)) {
            if (U_IS_BMP(c)) {
                literal += static_cast<char16_t>(c);
            } else {
                literal += static_cast<char16_t>(U16_LEAD(c));
                literal += static_cast<char16_t>(U16_TRAIL(c));
            }
            i = static_cast<std::size_t>(at);
            return;
        }
    }
    literal += r[i++];
}

}  // namespace

RegexReplacement::RegexReplacement(TextView r, const Regex& regex) {
    icuLength(r);
    Text literal;
    std::size_t i = 0;
    while (i < r.size()) {
        const char16_t c = r[i++];
        if (c == u'\\') {
            if (i == r.size()) break;
            readEscaped(r, i, literal);
        } else if (c == u'$') {
            const std::int32_t group = readGroup(r, i, regex, i - 1);
            if (!literal.empty()) m_pieces.push_back({std::move(literal), -1});
            literal.clear();
            m_pieces.push_back({Text(), group});
        } else {
            literal += c;
        }
    }
    if (!literal.empty()) m_pieces.push_back({std::move(literal), -1});
    for (const Piece& p : m_pieces)
        if (p.literal.find_first_of(u"\r\n") != Text::npos) m_breaksLines = true;
}

void RegexReplacement::appendTo(Text& out, URegularExpression* regex, TextView text) const {
    for (const Piece& p : m_pieces) {
        if (p.group < 0) {
            out.append(p.literal);
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t start = icuLibrary().start(regex, p.group, &status);
        const std::int32_t end = icuLibrary().end(regex, p.group, &status);
        check(status, RegexPart::Match);
        if (start >= 0)
            out.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
    }
}

std::optional<RegexResult> replaceMatches(TextView text, Regex& regex, const RegexReplacement& replacement,
                                          const RegexReplaceOptions& options, const RunControl& control) {
    return options.scope == RegexScope::WholeText
               ? replaceInWholeText(text, regex, replacement, options.all, control)
               : replaceLineByLine(text, regex, replacement, options.all, control);
}

std::optional<RegexResult> extractMatches(TextView text, Regex& regex, RegexExtraction extraction,
                                          RegexScope scope, const RunControl& control) {
    if (extraction == RegexExtraction::FirstGroup && regex.groupCount() < 1)
        throw RefusedInput("the regular expression has no group (…) to extract",
                           u"正規表現に取り出すグループ（…）がありません。");
    const bool wholeLines =
        extraction == RegexExtraction::MatchingLines || extraction == RegexExtraction::NonMatchingLines;
    return scope == RegexScope::WholeText && !wholeLines
               ? extractFromWholeText(text, regex, extraction, control)
               : extractLineByLine(text, regex, extraction, control);
}

}  // namespace kivo
