#include "text/regex.h"

#include <gtest/gtest.h>
#include <unicode/uregex.h>

#include <chrono>
#include <string>
#include <vector>

#include "text/utf8.h"

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

std::string utf8Trace(TextView text) {
    return utf8::encode(text);
}

// ICU itself, called as its documentation shows, for the results ours must agree with.
class IcuReference {
public:
    IcuReference(TextView pattern, std::uint32_t flags, TextView text) : m_text(text) {
        UParseError where;
        m_regex =
            uregex_open(pattern.data(), static_cast<std::int32_t>(pattern.size()), flags, &where, &m_status);
        uregex_setText(m_regex, m_text.data(), static_cast<std::int32_t>(m_text.size()), &m_status);
    }
    ~IcuReference() { uregex_close(m_regex); }

    Text replaceAll(TextView replacement) {
        UErrorCode status = U_ZERO_ERROR;
        const auto call = [&](char16_t* out, std::int32_t capacity) {
            return uregex_replaceAll(m_regex, replacement.data(),
                                     static_cast<std::int32_t>(replacement.size()), out, capacity, &status);
        };
        Text out(static_cast<std::size_t>(call(nullptr, 0)), u'\0');
        status = U_ZERO_ERROR;
        call(out.data(), static_cast<std::int32_t>(out.size()));
        return out;
    }

    std::vector<Text> matches() {
        std::vector<Text> found;
        UErrorCode status = U_ZERO_ERROR;
        uregex_reset(m_regex, 0, &status);
        while (uregex_findNext(m_regex, &status)) {
            const std::int32_t start = uregex_start(m_regex, 0, &status);
            found.emplace_back(m_text.substr(start, uregex_end(m_regex, 0, &status) - start));
        }
        return found;
    }

private:
    Text m_text;
    UErrorCode m_status = U_ZERO_ERROR;
    URegularExpression* m_regex = nullptr;
};

std::vector<TextView> linesOf(TextView text) {
    std::vector<TextView> lines;
    LineReader reader(text, LineEnds::Any);
    TextView line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

Text joined(const std::vector<Text>& lines, bool finalBreak) {
    Text out;
    for (const Text& line : lines)
        out += line + u"\r\n";
    if (!finalBreak && !out.empty()) out.resize(out.size() - 2);
    return out;
}

struct ReferenceCase {
    TextView pattern;
    bool ignoreCase;
    bool multiLine;
    TextView text;
    TextView replacement;
};

const ReferenceCase kReferenceCases[] = {
    {u"\\p{Han}+", false, false, u"東京都の人口は約1400万人です。\r\n大阪府", u"[$0]"},
    {u"\\p{Katakana}+", false, false, u"カタカナとひらがなとｶﾀｶﾅ、ヴァイオリン", u"<$0>"},
    {u"[ぁ-ん]+", false, false, u"漢字かなカナ\r\nまじり文", u"_"},
    {u".", false, false, u"a😀b\r\n𠮷野家", u"<$0>"},
    {u"^", false, true, u"一行目\r\n二行目\r\n\r\n", u"> "},
    {u"$", false, true, u"一行目\r\n二行目\r\n", u"。"},
    {u"$", false, false, u"一行目\r\n二行目\r\n", u"。"},
    {u"^.*$", false, true, u"ab\r\n\r\ncd", u"[$0]"},
    {u"x*", false, false, u"abc", u"-"},
    {u"x*", false, false, u"a😀b", u"-"},
    {u"(\\d+)円", false, false, u"合計1200円、税100円", u"\\$$1"},
    {u"(\\d+)-(\\d+)", false, false, u"03-1234 と 06-5678", u"$2-$1 ($0) $10 $１"},
    {u"(?<year>\\d{4})年(\\d+)月", false, false, u"2024年5月と1999年12月", u"${year}/$2"},
    {u"(a)|b", false, false, u"abba", u"[$1]"},
    {u"ａｂｃ", true, false, u"ＡＢＣとａｂｃとAbc", u"x"},
    {u"ｶﾅ|かな", true, false, u"ｶﾅとカナとかな", u"y"},
    {u"é", true, false, u"É and é", u"e"},
    {u"\\s+$", false, true, u"末尾  \r\n空白\t\r\nなし", u""},
    {u"\\r\\n", false, false, u"a\r\nb\r\n", u"\\u000D\\u000A\\u000D\\u000A"},
    {u"(?i)KIVO", false, false, u"kivo Kivo KIVO", u"\\u3042\\\\\\x"},
};

TEST(Regex, ReplaceAgreesWithIcu) {
    for (const ReferenceCase& c : kReferenceCases) {
        SCOPED_TRACE(utf8Trace(c.pattern));
        const std::uint32_t flags =
            (c.ignoreCase ? UREGEX_CASE_INSENSITIVE : 0) | (c.multiLine ? UREGEX_MULTILINE : 0);
        Regex regex(c.pattern, {.ignoreCase = c.ignoreCase, .multiLine = c.multiLine});
        const RegexReplacement replacement(c.replacement, regex);

        IcuReference whole(c.pattern, flags, c.text);
        const std::optional<RegexResult> ours =
            replaceMatches(c.text, regex, replacement, {.scope = RegexScope::WholeText}, {});
        ASSERT_TRUE(ours);
        EXPECT_EQ(ours->text, whole.replaceAll(c.replacement));
        EXPECT_EQ(ours->count, whole.matches().size());

        // Line by line is ICU on each line as a text of its own.
        std::vector<Text> lines;
        std::size_t count = 0;
        for (const TextView line : linesOf(c.text)) {
            IcuReference alone(c.pattern, flags, line);
            lines.push_back(alone.replaceAll(c.replacement));
            count += alone.matches().size();
        }
        const std::optional<RegexResult> byLine = replaceMatches(c.text, regex, replacement, {}, {});
        ASSERT_TRUE(byLine);
        EXPECT_EQ(byLine->text, joined(lines, c.text.ends_with(u"\n")));
        EXPECT_EQ(byLine->count, count);
    }
}

TEST(Regex, ExtractedPartsAgreeWithIcu) {
    for (const ReferenceCase& c : kReferenceCases) {
        SCOPED_TRACE(utf8Trace(c.pattern));
        const std::uint32_t flags =
            (c.ignoreCase ? UREGEX_CASE_INSENSITIVE : 0) | (c.multiLine ? UREGEX_MULTILINE : 0);
        Regex regex(c.pattern, {.ignoreCase = c.ignoreCase, .multiLine = c.multiLine});
        std::vector<Text> parts;
        for (const Text& m : IcuReference(c.pattern, flags, c.text).matches())
            if (!m.empty()) parts.push_back(m);
        const std::optional<RegexResult> ours =
            extractMatches(c.text, regex, RegexExtraction::MatchedParts, RegexScope::WholeText, {});
        ASSERT_TRUE(ours);
        EXPECT_EQ(ours->text, joined(parts, c.text.ends_with(u"\n")));
        EXPECT_EQ(ours->count, parts.size());
    }
}

TEST(Regex, LineBreaks) {
    struct Case {
        TextView pattern;
        RegexScope scope;
        TextView text;
        TextView replacement;
        TextView result;
    };
    const Case cases[] = {
        // Lone Cr and Lf are read as line breaks and come out as CrLf.
        {u"^", RegexScope::LineByLine, u"a\rb\nc", u"> ", u"> a\r\n> b\r\n> c"},
        {u"$", RegexScope::LineByLine, u"a\r\n", u"。", u"a。\r\n"},
        {u"$", RegexScope::WholeText, u"a\nb", u"。", u"a\r\nb。"},
        // . stops at a line break, and a CrLf is one line end.
        {u".+", RegexScope::WholeText, u"ab\r\ncd", u"x", u"x\r\nx"},
        {u"\\R", RegexScope::WholeText, u"a\nb\r\nc", u"/", u"a/b/c"},
        // A replacement that breaks a line breaks it with CrLf.
        {u",", RegexScope::LineByLine, u"a,b", u"\\u000A", u"a\r\nb"},
        // Taking the Lf of a CrLf leaves a lone Cr, which is a line break of its own.
        {u"\\n", RegexScope::WholeText, u"a\r\nb", u"", u"a\r\nb"},
        {u"\\r\\n", RegexScope::WholeText, u"a\r\nb\nc", u"", u"abc"},
    };
    for (const Case& c : cases) {
        Regex regex(c.pattern);
        const std::optional<RegexResult> r =
            replaceMatches(c.text, regex, RegexReplacement(c.replacement, regex), {.scope = c.scope}, {});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->text, c.result) << utf8Trace(c.pattern);
    }
}

TEST(Regex, FirstMatchOnly) {
    Regex regex(u"a");
    const RegexReplacement b(u"b", regex);
    const std::optional<RegexResult> byLine = replaceMatches(u"aaa\r\nxa\r\nx", regex, b, {.all = false}, {});
    ASSERT_TRUE(byLine);
    EXPECT_EQ(byLine->text, u"baa\r\nxb\r\nx");
    EXPECT_EQ(byLine->count, 2u);
    const std::optional<RegexResult> whole =
        replaceMatches(u"aaa\r\nxa", regex, b, {.scope = RegexScope::WholeText, .all = false}, {});
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->text, u"baa\r\nxa");
    EXPECT_EQ(whole->count, 1u);
}

TEST(Regex, Extractions) {
    struct Case {
        TextView pattern;
        RegexExtraction extraction;
        RegexScope scope;
        TextView text;
        TextView result;
        std::size_t count;
    };
    const TextView text = u"注文123 りんご\r\n備考\r\n注文45 みかん 注文6\r\n";
    const Case cases[] = {
        {u"注文", RegexExtraction::MatchingLines, RegexScope::LineByLine, text,
         u"注文123 りんご\r\n注文45 みかん 注文6\r\n", 2},
        {u"注文", RegexExtraction::NonMatchingLines, RegexScope::LineByLine, text, u"備考\r\n", 1},
        {u"注文\\d+", RegexExtraction::MatchedParts, RegexScope::LineByLine, text,
         u"注文123\r\n注文45\r\n注文6\r\n", 3},
        {u"注文(\\d+)", RegexExtraction::FirstGroup, RegexScope::LineByLine, u"注文123\r\n注文45 注文6",
         u"123\r\n45\r\n6", 3},
        // An empty match or group gives no line.
        {u"(\\d*)円", RegexExtraction::FirstGroup, RegexScope::LineByLine, u"円 5円", u"5", 1},
        {u"^\\d*", RegexExtraction::MatchedParts, RegexScope::LineByLine, u"12a\r\nb\r\n3", u"12\r\n3", 2},
        // A whole-text match may span lines; whole lines are always taken one by one.
        {u"b\\R+c", RegexExtraction::MatchedParts, RegexScope::WholeText, u"ab\r\n\r\ncd", u"b\r\n\r\nc", 1},
        {u"^b", RegexExtraction::MatchingLines, RegexScope::WholeText, u"a\nb\nbb", u"b\r\nbb", 2},
        {u"z", RegexExtraction::MatchingLines, RegexScope::LineByLine, u"a\r\nb\r\n", u"", 0},
    };
    for (const Case& c : cases) {
        Regex regex(c.pattern);
        const std::optional<RegexResult> r = extractMatches(c.text, regex, c.extraction, c.scope, {});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->text, c.result) << utf8Trace(c.pattern);
        EXPECT_EQ(r->count, c.count) << utf8Trace(c.pattern);
    }
    Regex noGroup(u"\\d+");
    EXPECT_THROW(extractMatches(u"1", noGroup, RegexExtraction::FirstGroup, RegexScope::LineByLine, {}),
                 RefusedInput);
}

TEST(Regex, RefusedPatternsAndReplacements) {
    struct Case {
        TextView pattern;
        TextView replacement;  // empty: the pattern itself is refused
        RegexPart part;
        const char* icuName;
        std::size_t position;
    };
    const Case cases[] = {
        {u"(a", u"", RegexPart::Pattern, "U_REGEX_MISMATCHED_PAREN", 2},
        {u"a{3,2}", u"", RegexPart::Pattern, "U_REGEX_MAX_LT_MIN", 6},
        {u"[z-a]", u"", RegexPart::Pattern, "U_REGEX_INVALID_RANGE", 5},
        {u"\\p{Hann}", u"", RegexPart::Pattern, "U_REGEX_PROPERTY_SYNTAX", 8},
        {u"a\\", u"", RegexPart::Pattern, "U_REGEX_BAD_ESCAPE_SEQUENCE", 2},
        // ICU counts code points within a line; the position counts UTF-16 units of the whole.
        {u"😀((", u"", RegexPart::Pattern, "U_REGEX_MISMATCHED_PAREN", 4},
        {u"ab\r\ncd(e", u"", RegexPart::Pattern, "U_REGEX_MISMATCHED_PAREN", 8},
        {u"(a)", u"x$2", RegexPart::Replacement, "U_INDEX_OUTOFBOUNDS_ERROR", 2},
        {u"(a)", u"$x", RegexPart::Replacement, "U_REGEX_INVALID_CAPTURE_GROUP_NAME", 1},
        {u"(a)", u"ok$", RegexPart::Replacement, "U_REGEX_INVALID_CAPTURE_GROUP_NAME", 3},
        {u"(?<n>a)", u"${m}", RegexPart::Replacement, "U_REGEX_INVALID_CAPTURE_GROUP_NAME", 1},
        {u"(?<n>a)", u"${n", RegexPart::Replacement, "U_REGEX_INVALID_CAPTURE_GROUP_NAME", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8Trace(Text(c.pattern) + u" / " + Text(c.replacement)));
        try {
            Regex regex(c.pattern);
            RegexReplacement(c.replacement, regex);
            ADD_FAILURE() << "not refused";
        } catch (const RegexError& e) {
            EXPECT_EQ(e.part(), c.part);
            EXPECT_STREQ(e.icuName(), c.icuName);
            EXPECT_EQ(e.position(), c.position);
        }
    }
    try {
        Regex regex(u"ab)");
    } catch (const RegexError& e) {
        EXPECT_EQ(e.japanese(),
                  u"正規表現の3文字目付近：括弧の対応が取れていません（U_REGEX_MISMATCHED_PAREN）。");
        EXPECT_STREQ(
            e.what(),
            "regular expression, near character 3: parentheses that do not pair (U_REGEX_MISMATCHED_PAREN)");
    }
    EXPECT_THROW(Regex(u""), RefusedInput);
}

// (a+)+b on a's without a b backtracks for ever.
TEST(Regex, CatastrophicMatchIsStoppable) {
    const Text text(10000, u'a');
    Regex regex(u"(a+)+b");
    const RegexReplacement none(u"", regex);
    const Clock::time_point start = Clock::now();
    const Clock::time_point stopPressed = start + std::chrono::milliseconds(20);
    const RunControl control{.stop = [&] { return Clock::now() >= stopPressed; }};
    EXPECT_FALSE(replaceMatches(text, regex, none, {.scope = RegexScope::WholeText}, control));
    EXPECT_LT(Clock::now() - stopPressed, std::chrono::milliseconds(100));
    EXPECT_FALSE(
        extractMatches(text, regex, RegexExtraction::MatchingLines, RegexScope::LineByLine, control));

    Regex bounded(u"(a+)+b", {.timeLimit = 20});
    try {
        replaceMatches(text, bounded, RegexReplacement(u"", bounded), {}, {});
        ADD_FAILURE() << "no time-out";
    } catch (const RegexError& e) {
        EXPECT_EQ(e.part(), RegexPart::Match);
        EXPECT_STREQ(e.icuName(), "U_REGEX_TIME_OUT");
    }
    // The pattern object is usable again after a stopped run.
    const std::optional<RegexResult> r = replaceMatches(u"aab", regex, none, {}, {});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, u"");
}

TEST(Regex, ResultBudget) {
    Regex regex(u"a");
    const RegexReplacement longer(u"aaaa", regex);
    RunControl control;
    control.resultBudget = 10;
    EXPECT_THROW(replaceMatches(u"aaa", regex, longer, {}, control), RunTimeError);
    EXPECT_TRUE(replaceMatches(u"aa", regex, longer, {}, control));
}

}  // namespace
}  // namespace kivo
