#include "text/lines.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(Lines, Normalize) {
    EXPECT_EQ(normalizeLineBreaks(u"a\r\nb\rc\nd\r\r\n"), u"a\nb\nc\nd\n\n");
    EXPECT_EQ(normalizeLineBreaks(u"\n\r"), u"\n\n");
    EXPECT_EQ(withLineBreaks(u"a\r\nb\rc\nd", u"\r\n"), u"a\r\nb\r\nc\r\nd");
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
    EXPECT_FALSE(hasConsecutiveLineBreaks(u"\na\nb\n"));
    EXPECT_EQ(lineCount(u""), 1u);
    EXPECT_EQ(lineCount(u"a\n"), 2u);
    EXPECT_EQ(lineCount(u"a\nb\nc"), 3u);
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
