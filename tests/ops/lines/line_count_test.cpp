#include "ops/lines/line_count.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kivo {
namespace {

using namespace test;

TEST(CountLines, CountsLineBreaksPlusOne) {
    Text many;
    for (int i = 0; i < 12345; ++i)
        many += u"x\r\n";
    const struct {
        TextView upper, out;
    } rows[] = {
        {u"", u"行数：1"},        {u"abc", u"行数：1"},       {u"a\r\nb\r\n", u"行数：3"},
        {u"a\rb\nc", u"行数：3"}, {u"a\r\n\r\n", u"行数：3"}, {u"\n\r", u"行数：3"},
        {u"\r\r\n", u"行数：3"},  {u"\r\n", u"行数：2"},      {many, u"行数：12346"},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kCountLines, row.upper);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper.substr(0, 20));
        EXPECT_TRUE(r.ctx.shown.empty());
        EXPECT_EQ(runOnBytes(kCountLines, row.upper).out, utf8::encode(row.out))
            << show(row.upper.substr(0, 20));
    }
}

TEST(ExtractLine, PicksLineN) {
    constexpr TextView kTooLarge =
        u"テキストボックスの行数よりも指定された行番号の方が大きい値になっています。";
    const std::vector noText = {info(u"抜き出す行番号を入力して下さい。")};
    const struct {
        TextView upper, n;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"abc", u"1", u"abc"},
        {u"a\r\nb\r\nc", u"1", u"a"},
        {u"a\r\nb\r\nc", u"3", u"c"},
        {u"a\r\nb\r\n", u"2", u"b"},
        {u"a\rb\nc\r\nd", u"2", u"b"},
        {u"a\rb\nc\r\nd", u"3", u"c"},
        {u"a\rb\nc\r\nd", u"4", u"d"},
        {u"a\r\nb\r\nc", u"0002", u"b"},
        {u"\r\nb", u"2", u"b"},
        {u"a\r\n\r\n", u"1", u"a"},
        // An empty line is written with the not-found message.
        {u"a\r\n\r\nc", u"2", u"", {info(u"「2」行目の文字が見つかりませんでした。")}},
        {u"\r\nb", u"1", u"", {info(u"「1」行目の文字が見つかりませんでした。")}},
        // The text ends with two breaks: line 2 is the empty line after the first one, not a
        // repeat of line 1.
        {u"a\r\n\r\n", u"2", u"", {info(u"「2」行目の文字が見つかりませんでした。")}},
        {u"a\n\n", u"2", u"", {info(u"「2」行目の文字が見つかりませんでした。")}},
        {u"a\r\n\r\n\r\n", u"2", u"", {info(u"「2」行目の文字が見つかりませんでした。")}},
        {u"a\r\n\r\n\r\n", u"3", u"", {info(u"「3」行目の文字が見つかりませんでした。")}},
        {u"a\r\n\r\n", u"02", u"", {info(u"「2」行目の文字が見つかりませんでした。")}},
        // Numbers past the last line, and empty texts, are refused.
        {u"a\r\nb\r\nc", u"4", std::nullopt, {info(kTooLarge)}},
        // A single final break is dropped before counting.
        {u"a\r\nb\r\n", u"3", std::nullopt, {info(kTooLarge)}},
        {u"a\r\n\r\n", u"3", std::nullopt, {info(kTooLarge)}},
        {u"a", u"2147483647", std::nullopt, {info(kTooLarge)}},
        {u"\r\n", u"1", std::nullopt, noText},
        {u"", u"1", std::nullopt, noText},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kExtractLine, row.upper, {{"Text11", Text(row.n)}});
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " n=" << show(row.n);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " n=" << show(row.n);
    }
}

TEST(ExtractLine, ALineNumberOutsideItsRuleIsARunTimeError) {
    for (TextView bad : {u"", u"0", u"000", u"abc", u"-1", u"1.5", u"2147483648", u"99999999999999999999"}) {
        const OpRun r = run(kExtractLine, u"a\r\nb", {{"Text11", Text(bad)}});
        EXPECT_EQ(r.out, std::nullopt) << show(bad);
        EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kGeneralError)}) << show(bad);
    }
}

}  // namespace
}  // namespace kivo
