#include "ops/dispatch.h"

#include <gtest/gtest.h>

#include "fake_context.h"

namespace kivo {
namespace {

using test::FakeContext;

Params defaults() {
    return Params::defaults(Date{2024, 5, 1});
}

// The pre-check's message for `code` with the given control texts, or nothing when it passes.
std::optional<Text> preCheck(int code, std::vector<std::pair<std::string, Text>> values) {
    Params p = defaults();
    for (auto& [name, value] : values)
        p.set(name, value);
    const PreCheck check = dispatchRow(code).preCheck;
    return check ? check(p) : std::nullopt;
}

TEST(Dispatch, PreCheckMessages) {
    struct Case {
        int code;
        std::vector<std::pair<std::string, Text>> values;
        std::optional<Text> message;
    };
    const Case cases[] = {
        {4, {{"Text3", u""}}, u"左側に足す文字、文字列を入力して下さい。"},
        {4, {{"Text3", u""}, {"Combo31", u"右"}}, u"右側に足す文字、文字列を入力して下さい。"},
        {4, {{"Text3", u"x"}}, std::nullopt},
        {12, {{"Text13", u""}}, u"条件を満たす文字を入力して下さい。"},
        {17, {{"Text14", u""}}, u"左側から置き換える文字を入力して下さい。"},
        {17, {{"Text14", u""}, {"Combo4", u"右"}}, u"右側から置き換える文字を入力して下さい。"},
        {17, {{"Text14", u""}, {"Combo4", u"x"}}, u"右側から置き換える文字を入力して下さい。"},
        {26, {{"Text6", u""}}, u"ループ回数を入力して下さい。"},
        {26, {}, std::nullopt},
        {29, {{"Text41", u"1"}}, u"インクリメント～し改行して追加する行数を「2」以上で入力して下さい。"},
        {29,
         {{"Text41", u"1"}, {"Combo28", u"デクリメント"}},
         u"デクリメント～し改行して追加する行数を「2」以上で入力して下さい。"},
        {29, {{"Text41", u"2"}}, std::nullopt},
        {30, {{"Text15", u""}}, u"…から見つけた●●●を含む文字を入力して下さい。"},
        {31, {{"Text23", u""}, {"Text24", u""}}, u"ステップを入力して下さい。"},
        {31, {{"Text24", u""}}, u"追加する行数を入力して下さい。"},
        {32, {{"Text27", u""}}, u"列挙する月数を入力して下さい。"},
        {32, {{"Text27", u"1"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"0"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"abc"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"2000001"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"2"}}, std::nullopt},
        {32, {{"Text27", u"2000000"}}, std::nullopt},
        {33, {{"Text28", u""}}, u"列挙する月数を入力して下さい。"},
        {33, {{"Text28", u"1"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {34, {{"Text29", u""}}, u"列挙する月数を入力して下さい。"},
        {34, {{"Text29", u"2000001"}}, u"2以上2000000以下の数値を入力して下さい。"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(preCheck(c.code, c.values), c.message) << "code " << c.code;
}

TEST(Dispatch, EveryCodeHasARow) {
    for (int code = 0; code < kOperationCount; ++code)
        EXPECT_NO_THROW(dispatchRow(code));
    EXPECT_FALSE(isBuilt(35));
    EXPECT_FALSE(isBuilt(-1));
    EXPECT_TRUE(isBuilt(0));
}

TEST(Dispatch, AFailedPreCheckInformsAndRunsNothing) {
    FakeContext ctx;
    Params p = defaults();
    p.set("Text27", u"1");
    // The row's pre-check runs whether or not its operation exists.
    const DispatchRow& row = dispatchRow(32);
    ASSERT_NE(row.preCheck, nullptr);
    EXPECT_EQ(row.preCheck(p), Text(u"2以上2000000以下の数値を入力して下さい。"));
}

TEST(Dispatch, UnknownVariantRunsNothing) {
    FakeContext ctx;
    Params p = defaults();
    p.set("Combo41", u"逆");
    const DispatchResult r = dispatch(0, u"abc", p, ctx);
    EXPECT_EQ(r.end, DispatchEnd::NothingRan);
    EXPECT_EQ(r.lower, std::nullopt);
    EXPECT_TRUE(ctx.shown.empty());
}

TEST(Dispatch, UnknownLetterClassIsSetBackToItsDefault) {
    const DispatchRow& row = dispatchRow(3);
    EXPECT_EQ(row.variantControl, "Combo19");
    EXPECT_EQ(row.variantReset, u"半角英小文字「a～z」");
}

TEST(Dispatch, ClosingSuppressesThePreCheckMessage) {
    FakeContext ctx;
    ctx.closingFlag = true;
    Params p = defaults();
    p.set("Text6", u"");
    const DispatchRow& row = dispatchRow(26);
    ASSERT_TRUE(row.preCheck(p).has_value());
    ctx.inform(*row.preCheck(p));
    EXPECT_TRUE(ctx.shown.empty());
}

TEST(Dispatch, ReverseRunsThroughTheTable) {
    FakeContext ctx;
    Params p = defaults();
    const DispatchResult r = dispatch(0, u"abc\r\ndef", p, ctx);
    EXPECT_EQ(r.end, DispatchEnd::Ran);
    EXPECT_EQ(r.lower, Text(u"fed\r\ncba"));
}

TEST(Dispatch, AnOverflowingPreCheckValueIsTheGeneralError) {
    FakeContext ctx;
    Params p = defaults();
    p.set("Text41", u"1e999");
    // Code 29 may not be built; its pre-check is exercised through the row directly.
    EXPECT_ANY_THROW(dispatchRow(29).preCheck(p));
}

}  // namespace
}  // namespace kivo
