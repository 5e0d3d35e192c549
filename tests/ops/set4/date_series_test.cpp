#include "ops/set4/date_series.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::crlfLines;
using test::FakeContext;
using test::runOp;

struct Settings {
    TextView unit = u"日にち", direction = u"インクリメント", step = u"1", lines = u"2",
             format = u"「/」 スラッシュ(yyyy/mm/dd)";
};

std::optional<Text> series(TextView upper, const Settings& s, FakeContext& ctx) {
    return runOp(GenerateDateSeries, upper,
                 {{"Combo52", s.unit},
                  {"Combo51", s.direction},
                  {"Text23", s.step},
                  {"Text24", s.lines},
                  {"Combo53", s.format}},
                 ctx);
}

std::optional<Text> series(TextView upper, const Settings& s) {
    FakeContext ctx;
    return series(upper, s, ctx);
}

constexpr TextView kDown = u"デクリメント";
constexpr TextView kUpError = u"西暦9999年以上になる行がある、またはその他のエラーです。";
constexpr TextView kDownError = u"西暦100年以下になる行がある、またはその他のエラーです。";

TEST(GenerateDateSeries, StepsFromTheStartDate) {
    struct Case {
        TextView in;
        Settings s;
        Text out;
    };
    const Case cases[] = {
        {u"2024/01/30", {}, crlfLines({u"2024/01/30", u"2024/01/31", u"2024/02/01"})},
        {u"2024/01/31",
         {.unit = u"月", .lines = u"3"},
         crlfLines({u"2024/01/31", u"2024/02/29", u"2024/03/31", u"2024/04/30"})},
        {u"2024/03/01",
         {.direction = kDown, .lines = u"1", .format = u"「-」 ハイフン(yyyy-mm-dd)"},
         crlfLines({u"2024-03-01", u"2024-02-29"})},
        {u"2024/01/30",
         {.format = u"「*」 アスタリスク(yyyy*mm*dd)"},
         crlfLines({u"2024*01*30", u"2024*01*31", u"2024*02*01"})},
        {u"2024/01/30",
         {.format = u"「\\」 円マーク(yyyy\\mm\\dd)"},
         crlfLines({u"2024\\01\\30", u"2024\\01\\31", u"2024\\02\\01"})},
        {u"2024/02/29",
         {.unit = u"年", .lines = u"4"},
         crlfLines({u"2024/02/29", u"2025/02/28", u"2026/02/28", u"2027/02/28", u"2028/02/29"})},
        {u"2024/02/29",
         {.unit = u"年", .step = u"4", .lines = u"2"},
         crlfLines({u"2024/02/29", u"2028/02/29", u"2032/02/29"})},
        {u"2000/02/29",
         {.unit = u"年", .step = u"100", .lines = u"1"},
         crlfLines({u"2000/02/29", u"2100/02/28"})},
        {u"2024/05/31",
         {.unit = u"月", .direction = kDown, .lines = u"3"},
         crlfLines({u"2024/05/31", u"2024/04/30", u"2024/03/31", u"2024/02/29"})},
        {u"9999/12/30", {.lines = u"1"}, crlfLines({u"9999/12/30", u"9999/12/31"})},
        {u"0100/01/02", {.direction = kDown, .lines = u"1"}, crlfLines({u"0100/01/02", u"0100/01/01"})},
        // A direction other than "インクリメント" steps back.
        {u"2024/01/02", {.direction = u"x", .lines = u"1"}, crlfLines({u"2024/01/02", u"2024/01/01"})},
        // The counts are numeric values rounded to whole numbers.
        {u"2024/01/01", {.step = u"2.5", .lines = u"1"}, crlfLines({u"2024/01/01", u"2024/01/03"})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(series(c.in, c.s), c.out) << test::narrow(c.in);
}

TEST(GenerateDateSeries, EveryFormat) {
    const std::pair<TextView, TextView> formats[] = {
        {u"「/」 スラッシュ(yyyy/mm/dd)", u"2024/01/05"},
        {u"「-」 ハイフン(yyyy-mm-dd)", u"2024-01-05"},
        {u"「_」 アンダースコア(yyyy_mm_dd)", u"2024_01_05"},
        {u"「.」 ドット(yyyy.mm.dd)", u"2024.01.05"},
        {u"「,」 カンマ(yyyy,mm,dd)", u"2024,01,05"},
        {u"「*」 アスタリスク(yyyy*mm*dd)", u"2024*01*05"},
        {u"「 」 半角スペース(yyyy mm dd)", u"2024 01 05"},
        {u"「|」 バーティカルバー(yyyy|mm|dd)", u"2024|01|05"},
        {u"「+」 プラス(yyyy+mm+dd)", u"2024+01+05"},
        {u"「=」 イコール(yyyy=mm=dd)", u"2024=01=05"},
        {u"「#」 シャープ(yyyy#mm#dd)", u"2024#01#05"},
        {u"「$」 ドル(yyyy$mm$dd)", u"2024$01$05"},
        {u"「%」 パーセント(yyyy%mm%dd)", u"2024%01%05"},
        {u"「&」 アンパサンド(yyyy&mm&dd)", u"2024&01&05"},
        {u"「'」 アポストロフィー(yyyy'mm'dd)", u"2024'01'05"},
        {u"「\\」 円マーク(yyyy\\mm\\dd)", u"2024\\01\\05"},
        {u"「@」 アットマーク(yyyy@mm@dd)", u"2024@01@05"},
    };
    for (const auto& [format, date] : formats) {
        const std::optional<Text> out = series(u"2024/01/04", {.lines = u"1", .format = format});
        ASSERT_TRUE(out);
        EXPECT_EQ(out->substr(12), Text(date) + u"\r\n");
    }
}

TEST(GenerateDateSeries, ChecksTheStartTextInOrder) {
    struct Case {
        TextView in;
        Settings s;
        TextView message;
    };
    const Case cases[] = {
        {u"2024/01/05\r\n", {}, u"改行が含まれています。"},
        {u"2024/01\n/05", {}, u"改行が含まれています。"},
        {u"2024/1/5",
         {},
         u"日付の形式が違います「yyyy/mm/dd」の様に4桁の西暦と2桁の月と日にちを入力して下さい。"},
        {u"2024/01/051",
         {},
         u"日付の形式が違います「yyyy/mm/dd」の様に4桁の西暦と2桁の月と日にちを入力して下さい。"},
        {u"2024-01-05", {}, u"使用できる文字は半角数字および「/スラッシュ」です。"},
        {u"２024/01/05", {}, u"使用できる文字は半角数字および「/スラッシュ」です。"},
        {u"2024/001/5", {}, u"スラッシュの位置を確認してください。"},
        {u"2024//01/5", {}, u"スラッシュの位置を確認してください。"},
        {u"0099/01/01", {}, u"西暦100年～西暦9999年以外は指定できません。"},
        {u"2024/13/01", {}, u"月の設定は01～12の範囲で指定してください。"},
        {u"2024/00/01", {}, u"月の設定は01～12の範囲で指定してください。"},
        {u"2024/01/32", {}, u"日にちの設定は01～31の範囲で指定してください。"},
        {u"2024/01/00", {}, u"日にちの設定は01～31の範囲で指定してください。"},
        {u"2023/02/29", {}, u"日付を確認してください。"},
        {u"2100/02/29", {}, u"日付を確認してください。"},
        {u"9998/01/01", {.unit = u"年", .lines = u"2"}, u"「西暦 + ステップ × 行数」が9999を超えています。"},
        {u"0101/01/01",
         {.unit = u"年", .direction = kDown, .lines = u"2"},
         u"「西暦 - ステップ × 行数」が西暦100年を下回っています。"},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(series(c.in, c.s, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}))
            << test::narrow(c.in);
    }
    // Exactly at the bounds the years pass.
    EXPECT_TRUE(series(u"9997/01/01", {.unit = u"年", .lines = u"2"}));
    EXPECT_TRUE(series(u"0102/01/01", {.unit = u"年", .direction = kDown, .lines = u"2"}));
}

TEST(GenerateDateSeries, DatesLeavingTheRangeAreRunTimeErrors) {
    struct Case {
        TextView in;
        Settings s;
        TextView message;
    };
    const Case cases[] = {
        {u"9999/12/30", {.lines = u"5"}, kUpError},
        {u"9999/11/30", {.unit = u"月", .lines = u"2"}, kUpError},
        {u"0100/01/01", {.direction = kDown, .lines = u"1"}, kDownError},
        // The offset is a 32-bit quantity; so are the counts.
        {u"2024/01/01", {.unit = u"年", .step = u"2147483647", .lines = u"2"}, kUpError},
        {u"2024/01/01", {.step = u"2147483648"}, kUpError},
        {u"2024/01/01", {.step = u"0"}, kUpError},
        {u"2024/01/01", {.lines = u"abc"}, kUpError},
        {u"2024/01/01", {.unit = u"週"}, kUpError},
        {u"2024/01/01", {.direction = kDown, .format = u"yyyy/mm/dd"}, kDownError},
        // Millions of lines that would end beyond the range fail at once.
        {u"2024/01/01", {.lines = u"2147483647"}, kUpError},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(series(c.in, c.s, ctx), std::nullopt) << test::narrow(c.in);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(c.message)}}));
    }
}

TEST(GenerateDateSeries, StopAndClosingWriteNothing) {
    FakeContext stopped;
    stopped.stopAfterPolls = 2;
    EXPECT_EQ(series(u"2024/01/01", {.lines = u"100"}, stopped), std::nullopt);
    EXPECT_TRUE(stopped.shown.empty());
    FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(series(u"2024/1/1", {}, closing), std::nullopt);
    EXPECT_TRUE(closing.shown.empty());
}

}  // namespace
}  // namespace kivo
