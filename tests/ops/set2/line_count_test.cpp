#include "ops/set2/line_count.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::runOp;
using test::show;

constexpr TextView kTooLarge = u"テキストボックスの行数よりも指定された行番号の方が大きい値になっています。";

TEST(CountLines, CountsLineBreaksPlusOne) {
    struct Case {
        TextView in, out;
    };
    const Case cases[] = {
        {u"", u"行数：1"},        {u"abc", u"行数：1"},       {u"a\r\nb\r\n", u"行数：3"},
        {u"a\rb\nc", u"行数：3"}, {u"a\r\n\r\n", u"行数：3"}, {u"\n\r", u"行数：3"},
        {u"\r\r\n", u"行数：3"},  {u"\r\n", u"行数：2"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(CountLines, c.in, {});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_TRUE(r.ctx.shown.empty());
    }
    Text many;
    for (int i = 0; i < 12345; ++i)
        many += u"x\r\n";
    EXPECT_EQ(runOp(CountLines, many, {}).lower, Text(u"行数：12346"));
}

TEST(ExtractLine, PicksLineN) {
    struct Case {
        TextView in, n, out;
    };
    const Case cases[] = {
        {u"abc", u"1", u"abc"},        {u"a\r\nb\r\nc", u"1", u"a"},    {u"a\r\nb\r\nc", u"3", u"c"},
        {u"a\r\nb\r\n", u"2", u"b"},   {u"a\rb\nc\r\nd", u"2", u"b"},   {u"a\rb\nc\r\nd", u"3", u"c"},
        {u"a\rb\nc\r\nd", u"4", u"d"}, {u"a\r\nb\r\nc", u"0002", u"b"}, {u"\r\nb", u"2", u"b"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(ExtractLine, c.in, {{"Text11", Text(c.n)}});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in) << " n=" << show(c.n);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(ExtractLine, AnEmptyLineIsWrittenWithTheNotFoundMessage) {
    struct Case {
        TextView in, n, message;
    };
    const Case cases[] = {
        {u"a\r\n\r\nc", u"2", u"「2」行目の文字が見つかりませんでした。"},
        {u"\r\nb", u"1", u"「1」行目の文字が見つかりませんでした。"},
        // The text ends with two breaks: line 2 is the empty line after the first one, not a
        // repeat of line 1.
        {u"a\r\n\r\n", u"2", u"「2」行目の文字が見つかりませんでした。"},
        {u"a\n\n", u"2", u"「2」行目の文字が見つかりませんでした。"},
        {u"a\r\n\r\n\r\n", u"2", u"「2」行目の文字が見つかりませんでした。"},
        {u"a\r\n\r\n\r\n", u"3", u"「3」行目の文字が見つかりませんでした。"},
        {u"a\r\n\r\n", u"02", u"「2」行目の文字が見つかりませんでした。"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(ExtractLine, c.in, {{"Text11", Text(c.n)}});
        EXPECT_EQ(r.lower, Text()) << show(c.in) << " n=" << show(c.n);
        ASSERT_EQ(r.ctx.shown.size(), 1u) << show(c.in);
        EXPECT_EQ(r.ctx.shown[0], (test::FakeContext::Shown{Icon::Information, Text(c.message)}));
    }
    EXPECT_EQ(runOp(ExtractLine, u"a\r\n\r\n", {{"Text11", u"1"}}).lower, Text(u"a"));
}

TEST(ExtractLine, RefusesNumbersPastTheLastLineAndEmptyTexts) {
    struct Case {
        TextView in, n, message;
    };
    const Case cases[] = {
        {u"a\r\nb\r\nc", u"4", kTooLarge},
        // A single final break is dropped before counting.
        {u"a\r\nb\r\n", u"3", kTooLarge},
        {u"a\r\n\r\n", u"3", kTooLarge},
        {u"a", u"2147483647", kTooLarge},
        {u"\r\n", u"1", u"抜き出す行番号を入力して下さい。"},
        {u"", u"1", u"抜き出す行番号を入力して下さい。"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(ExtractLine, c.in, {{"Text11", Text(c.n)}});
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in);
        EXPECT_EQ(r.ctx.shown, (std::vector<test::FakeContext::Shown>{{Icon::Information, Text(c.message)}}))
            << show(c.in);
    }
}

TEST(ExtractLine, ALineNumberOutsideItsRuleIsARunTimeError) {
    for (TextView bad : {u"", u"0", u"000", u"abc", u"-1", u"1.5", u"2147483648", u"99999999999999999999"}) {
        const auto r = runOp(ExtractLine, u"a\r\nb", {{"Text11", Text(bad)}});
        EXPECT_EQ(r.lower, std::nullopt) << show(bad);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<test::FakeContext::Shown>{{Icon::Exclamation, Text(test::kGeneralErrorText)}}))
            << show(bad);
    }
}

}  // namespace
}  // namespace kivo
