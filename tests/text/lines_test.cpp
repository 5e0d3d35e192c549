#include "text/lines.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "text/characters.h"

namespace kivo {
namespace {

TEST(Lines, Normalize) {
    struct Case {
        TextView in;
        TextView normalized;
    };
    const Case cases[] = {
        {u"", u""},
        {u"abc", u"abc"},
        {u"a\r\nb\rc\nd\r\r\n", u"a\nb\nc\nd\n\n"},
        {u"\n\r", u"\n\n"},
        {u"\r", u"\n"},
        {u"\r\r\n", u"\n\n"},
        {u"\n\r\n", u"\n\n"},
        {u"\r\n\r\n", u"\n\n"},
        {u"\r\n\r", u"\n\n"},
        {u"a\r", u"a\n"},
        {u"\b\t\v\f", u"\b\t\v\f"},  // other control characters are no line breaks
        {u"あ\u2028い\u0085", u"あ\u2028い\u0085"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(normalizeLineBreaks(c.in), c.normalized);
        EXPECT_EQ(withLineBreaks(c.in, u"\r\n"), lfToCrLf(c.normalized));
    }
    EXPECT_EQ(withLineBreaks(u"a\r\nb\rc\nd", u"\r\n"), u"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(withLineBreaks(u"a\r\nb\rc\nd", u""), u"abcd");
    EXPECT_EQ(withLineBreaks(u"\r\r\n\n", u"<>"), u"<><><>");
    // The new line break is not read again, even when it holds a Cr or Lf itself.
    EXPECT_EQ(withLineBreaks(u"a\rb", u"\r\r"), u"a\r\rb");
    EXPECT_EQ(lfToCrLf(u"\na\n\n"), u"\r\na\r\n\r\n");
    // Only Lf changes: a lone Cr stays, and the Lf of a CrLf becomes a CrLf of its own.
    EXPECT_EQ(lfToCrLf(u"a\rb\r\nc"), u"a\rb\r\r\nc");
}

TEST(Lines, ReaderAndWriterKeepTheFinalBreak) {
    struct Case {
        TextView in;
        std::vector<Text> lines;
        bool appended;
    };
    const Case cases[] = {
        {u"", {u""}, true},
        {u"a", {u"a"}, true},
        {u"a\n", {u"a"}, false},
        {u"a\nb", {u"a", u"b"}, true},
        {u"\na", {u"", u"a"}, true},
        {u"\n", {u""}, false},
        {u"a\n\nb\n", {u"a", u"", u"b"}, false},
    };
    for (const Case& c : cases) {
        LineReader r(c.in);
        std::vector<Text> got;
        LineWriter w;
        for (TextView line; r.next(line);) {
            got.emplace_back(line);
            w.addLine(line);
        }
        EXPECT_EQ(got, c.lines);
        EXPECT_EQ(r.appendedLf(), c.appended);
        EXPECT_EQ(w.take(r.appendedLf()), lfToCrLf(c.in));
    }
}

// Read as it is, each line keeps its break as it was; together they are the text again.
TEST(Lines, ReaderKeepsEachBreakAsItWas) {
    struct Case {
        TextView in;
        std::vector<Text> lines;
        std::vector<Text> breaks;
    };
    const Case cases[] = {
        {u"", {u""}, {u""}},
        {u"a\rb", {u"a", u"b"}, {u"\r", u""}},
        {u"a\r\n", {u"a"}, {u"\r\n"}},
        {u"\r\r\n\n", {u"", u"", u""}, {u"\r", u"\r\n", u"\n"}},
        {u"a\n\rb\r", {u"a", u"", u"b"}, {u"\n", u"\r", u"\r"}},
    };
    for (const Case& c : cases) {
        LineReader r(c.in, LineEnds::Any);
        std::vector<Text> lines, breaks;
        for (TextView line; r.next(line);) {
            lines.emplace_back(line);
            breaks.emplace_back(r.lineBreak());
            EXPECT_EQ(r.lineNumber(), lines.size());
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(breaks, c.breaks);
    }
}

TEST(Lines, ConsecutiveBreaksAndCount) {
    EXPECT_TRUE(hasConsecutiveLineBreaks(u"a\n\nb"));
    EXPECT_TRUE(hasConsecutiveLineBreaks(u"a\n\n"));
    EXPECT_TRUE(hasConsecutiveLineBreaks(u"\n\na"));
    EXPECT_TRUE(hasConsecutiveLineBreaks(normalizeLineBreaks(u"a\r\rb")));
    EXPECT_TRUE(hasConsecutiveLineBreaks(normalizeLineBreaks(u"a\r\n\r\n")));
    EXPECT_FALSE(hasConsecutiveLineBreaks(u"\na\nb\n"));
    EXPECT_FALSE(hasConsecutiveLineBreaks(u""));
    EXPECT_FALSE(hasConsecutiveLineBreaks(u"\n"));
    EXPECT_FALSE(hasConsecutiveLineBreaks(normalizeLineBreaks(u"a\r\nb\r\n")));
    EXPECT_EQ(lineCount(u""), 1u);
    EXPECT_EQ(lineCount(u"\n"), 2u);
    EXPECT_EQ(lineCount(u"\n\n"), 3u);
    EXPECT_EQ(lineCount(u"a\n"), 2u);
    EXPECT_EQ(lineCount(u"a\nb\nc"), 3u);
    EXPECT_EQ(lineCount(normalizeLineBreaks(u"a\r\nb\rc")), 3u);
}

TEST(Lines, WriterPiecesAndTheFinalBreak) {
    LineWriter w;
    EXPECT_TRUE(w.empty());
    w.add(u"a");
    w.add(u"b");
    EXPECT_FALSE(w.empty());
    w.endLine();
    w.addLine(u"");
    w.addLine(u"c");
    EXPECT_EQ(w.take(false), u"ab\r\n\r\nc\r\n");
    LineWriter appended;
    appended.addLine(u"x");
    appended.addLine(u"y");
    EXPECT_EQ(appended.take(true), u"x\r\ny");
    EXPECT_EQ(LineWriter().take(true), u"");  // nothing written: nothing to remove
}

TEST(Lines, ReplaceAllDoesNotRescanInsertedText) {
    EXPECT_EQ(replaceAll(u"aaa", u"a", u"aa"), u"aaaaaa");
    EXPECT_EQ(replaceAll(u"abab", u"ab", u"b"), u"bb");
    EXPECT_EQ(replaceAll(u"aaaa", u"aa", u"a"), u"aa");
    EXPECT_EQ(replaceAll(u"abc", u"", u"x"), u"abc");
    EXPECT_EQ(replaceAll(u"", u"a", u"x"), u"");
    EXPECT_EQ(replaceAll(u"xあx", u"あ", u"\r\n"), u"x\r\nx");
}

// The unit scans read blocks of 16 units and the rest of a text from its end: every length up to
// a few blocks, every position of the unit looked for, every start.
TEST(Lines, UnitScansAgreeWithThePlainSearchAtEveryOffset) {
    constexpr char16_t kUnit = u'\n';
    for (std::size_t n = 0; n <= 70; ++n) {
        for (std::size_t at = 0; at <= n; ++at) {
            // One unit at `at` (none when at == n), and texts with a second one further on.
            for (std::size_t second : {n, at + 1, at + 15, at + 16, at + 17}) {
                Text s(n, u'a');
                if (at < n) s[at] = kUnit;
                if (second < n) s[second] = kUnit;
                const TextView v = s;
                const auto count = static_cast<std::size_t>(std::count(s.begin(), s.end(), kUnit));
                EXPECT_EQ(countUnit(v, kUnit), count) << n << " " << at;
                EXPECT_EQ(findLastUnit(v, kUnit), v.rfind(kUnit)) << n << " " << at;
                EXPECT_EQ(lineCount(v), count + 1);
                for (std::size_t from = 0; from <= n + 1; ++from) {
                    EXPECT_EQ(findUnit(v, kUnit, from), v.find(kUnit, from)) << n << " " << at << " " << from;
                    EXPECT_EQ(findLineBreak(v, from), v.find_first_of(u"\r\n", from));
                }
                // A Cr is a line break for findLineBreak, and not the unit the others look for.
                if (at < n) s[at] = kCr;
                for (std::size_t from = 0; from <= n + 1; ++from)
                    EXPECT_EQ(findLineBreak(v, from), v.find_first_of(u"\r\n", from)) << n << " " << at;
                EXPECT_EQ(findUnit(v, kUnit), v.find(kUnit));
            }
        }
    }
    // Units that differ from the one looked for only in one byte are not it.
    const Text near = Text(40, u'\u010A') + Text(40, u'\u0A00') + u"\n";
    EXPECT_EQ(findUnit(near, kUnit), 80u);
    EXPECT_EQ(countUnit(near, kUnit), 1u);
    EXPECT_EQ(findLastUnit(near, u'\u0A00'), 79u);
}

TEST(Lines, CountsBeyondWhatASixteenBitLaneHolds) {
    // 70,000 blocks of units to count: more than one lane's sum can hold before it is added up.
    const Text all(16 * 70'000 + 5, kLf);
    EXPECT_EQ(countUnit(all, kLf), all.size());
    EXPECT_EQ(lineCount(all), all.size() + 1);
}

TEST(Lines, FindTextAgreesWithThePlainSearch) {
    const Text s = Text(20, u'a') + u"ab" + Text(20, u'a') + u"abab" + u"a";
    for (const TextView pattern :
         {u"ab", u"a", u"aab", u"abab", u"b", u"ba", u"x", u"", u"aaaaaaaaaaaaaaaaaaaaaab"}) {
        for (std::size_t from = 0; from <= s.size() + 1; ++from)
            EXPECT_EQ(findText(s, pattern, from), TextView(s).find(pattern, from)) << from;
    }
}

// The original line-break rules, one unit at a time: the scans above must give what this gives.
std::size_t countOf(TextView s, TextView piece) {
    std::size_t n = 0;
    for (std::size_t at = s.find(piece); at != TextView::npos; at = s.find(piece, at + 1))
        ++n;
    return n;
}

Text normalizedByUnits(TextView s) {
    Text out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == kCr) {
            if (i + 1 < s.size() && s[i + 1] == kLf) ++i;
            out.push_back(kLf);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

TEST(Lines, NormalizedTextCopiesOnlyWhenThereIsACr) {
    struct Case {
        TextView in;
        bool copied;
        bool consecutive;
    };
    const Case cases[] = {
        {u"", false, false},      {u"abc", false, false},      {u"a\nb\n", false, false},
        {u"a\n\nb", false, true}, {u"a\r", true, false},       {u"a\r\n", true, false},
        {u"\r\r", true, true},    {u"a\r\n\r\n", true, true},  {u"a\n\r", true, true},
        {u"\r\n\n", true, true},  {u"\r\nb\r\n", true, false},
    };
    for (const Case& c : cases) {
        const NormalizedText t(c.in);
        EXPECT_EQ(t.view(), normalizeLineBreaks(c.in));
        EXPECT_EQ(t.copied(), c.copied);
        // Without a Cr it is the original text itself.
        if (!c.copied) {
            EXPECT_EQ(t.view().data(), c.in.data());
        }
        EXPECT_EQ(t.hasConsecutiveLineBreaks(), c.consecutive);
    }
}

// Texts of a, Cr and Lf, a few blocks long: Cr and CrLf at every place, at the end, straddling
// the blocks the scans read, in pairs and runs.
TEST(Lines, LineBreakRulesHoldOnEveryMixOfCrAndLf) {
    std::mt19937 random(7);
    const char16_t units[] = {u'a', u'a', kCr, kLf};
    std::uniform_int_distribution<std::size_t> pick(0, 3), length(0, 150);
    for (int round = 0; round < 20'000; ++round) {
        Text s(length(random), u'a');
        // Every fifth text has few breaks, so that long runs without two in a row are read too.
        const bool sparse = round % 5 == 1;
        for (char16_t& c : s)
            c = sparse && pick(random) != 0 && pick(random) != 0 ? u'a' : units[pick(random)];
        // Every third text has CrLf breaks only, every sixth but one unit.
        if (round % 3 == 0) {
            Text crLfOnly;
            for (const char16_t c : s)
                crLfOnly += c == u'a' ? Text(u"a") : Text(kCrLf);
            if (round % 2 == 0) crLfOnly.insert(pick(random) * crLfOnly.size() / 3, 1, units[pick(random)]);
            s = crLfOnly;
        }
        const Text expected = normalizedByUnits(s);
        const bool pair = expected.find(u"\n\n") != Text::npos;
        const NormalizedText t(s);
        ASSERT_EQ(t.view(), expected);
        EXPECT_EQ(normalizeLineBreaks(s), expected);
        EXPECT_EQ(t.hasConsecutiveLineBreaks(), pair);
        EXPECT_EQ(hasConsecutiveLineBreaks(expected), pair);
        EXPECT_EQ(t.copied(), s.find(kCr) != Text::npos);
        EXPECT_EQ(withLineBreaks(s, u"<>"), replaceAll(expected, u"\n", u"<>"));
        EXPECT_EQ(lfToCrLf(expected), withLineBreaks(s, kCrLf));
        EXPECT_EQ(withoutLineBreaks(s), withLineBreaks(s, u""));
        // Read as it is: the lines of the normalised text, and with their breaks the text itself.
        LineReader asItIs(s, LineEnds::Any), normalized(expected);
        Text rebuilt;
        for (TextView line, same; asItIs.next(line);) {
            ASSERT_TRUE(normalized.next(same));
            EXPECT_EQ(line, same);
            rebuilt.append(line).append(asItIs.lineBreak());
        }
        EXPECT_EQ(rebuilt, s);
        EXPECT_EQ(asItIs.appendedLf(), normalized.appendedLf());
        EXPECT_EQ(lineCount(expected),
                  static_cast<std::size_t>(std::count(expected.begin(), expected.end(), kLf)) + 1);
        // Read from the text as it is.
        EXPECT_EQ(hasConsecutiveLineBreaksIn(s), pair);
        EXPECT_EQ(lineCountOf(s), lineCount(expected));
        const std::string bytes(s.begin(), s.end());
        std::string normalizedBytes = "stale";
        normalizeLineBreaksInto(bytes, normalizedBytes);
        EXPECT_EQ(normalizedBytes, std::string(expected.begin(), expected.end()));
        const auto crs = std::count(s.begin(), s.end(), kCr);
        const bool uniform = crs == 0 || (crs == std::count(s.begin(), s.end(), kLf) &&
                                          static_cast<std::size_t>(crs) == countOf(s, u"\r\n"));
        EXPECT_EQ(lineBreakShapeOf(s).uniform, uniform) << bytes;
        for (const simd::Kernel kernel : {simd::Kernel::Portable, simd::Kernel::Avx2}) {
            if (!simd::available(kernel)) continue;
            const LineBreakShape shape = detail::lineBreakShapeOf(bytes, kernel);
            EXPECT_EQ(shape.uniform, uniform) << bytes;
            EXPECT_EQ(shape.consecutive, pair) << bytes;
            EXPECT_EQ(shape.crLf, uniform && crs > 0) << bytes;
            const std::optional<LineBreakShape> checked = utf8::detail::checkedShape(bytes, kernel);
            ASSERT_TRUE(checked) << bytes;
            EXPECT_EQ(std::tie(checked->uniform, checked->consecutive, checked->crLf),
                      std::tie(shape.uniform, shape.consecutive, shape.crLf))
                << bytes;
            EXPECT_EQ(detail::lineBreakCountOf(bytes, kernel) + 1, lineCount(expected)) << bytes;
            std::string crLfAsLf = bytes;
            detail::crLfToLfIn(crLfAsLf, kernel);
            const Text replaced = replaceAll(s, kCrLf, u"\n");
            EXPECT_EQ(crLfAsLf, std::string(replaced.begin(), replaced.end())) << bytes;
        }
    }
}

}  // namespace
}  // namespace kivo
