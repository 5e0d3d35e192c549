#include "text/lines.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace kivo
