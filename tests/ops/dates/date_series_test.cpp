#include "ops/dates/date_series.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kivo {
namespace {

using test::exclamation;
using test::FakeContext;
using test::info;
using test::OpRun;
using test::show;

struct Controls {
    TextView unit = u"日にち", direction = u"インクリメント", step = u"1", lines = u"2",
             format = u"「/」 スラッシュ(yyyy/mm/dd)";
};

OpRun series(TextView upper, const Controls& c, FakeContext ctx = {}) {
    return test::run(kGenerateDateSeries, upper,
                     {{"Combo52", Text(c.unit)},
                      {"Combo51", Text(c.direction)},
                      {"Text23", Text(c.step)},
                      {"Text24", Text(c.lines)},
                      {"Combo53", Text(c.format)}},
                     std::move(ctx));
}

constexpr TextView kDown = u"デクリメント";
constexpr TextView kUpError = u"西暦9999年以上になる行がある、またはその他のエラーです。";
constexpr TextView kDownError = u"西暦100年以下になる行がある、またはその他のエラーです。";
constexpr TextView kFormat =
    u"日付の形式が違います「yyyy/mm/dd」の様に4桁の西暦と2桁の月と日にちを入力して下さい。";

TEST(GenerateDateSeries, StepsFromTheStartDate) {
    const struct {
        TextView upper;
        Controls c;
        TextView out;
    } rows[] = {
        {u"2024/01/30", {}, u"2024/01/30\r\n2024/01/31\r\n2024/02/01\r\n"},
        {u"2024/01/31",
         {.unit = u"月", .lines = u"3"},
         u"2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n2024/04/30\r\n"},
        {u"2024/03/01",
         {.direction = kDown, .lines = u"1", .format = u"「-」 ハイフン(yyyy-mm-dd)"},
         u"2024-03-01\r\n2024-02-29\r\n"},
        {u"2024/01/30",
         {.format = u"「*」 アスタリスク(yyyy*mm*dd)"},
         u"2024*01*30\r\n2024*01*31\r\n2024*02*01\r\n"},
        {u"2024/01/30",
         {.format = u"「\\」 円マーク(yyyy\\mm\\dd)"},
         u"2024\\01\\30\r\n2024\\01\\31\r\n2024\\02\\01\r\n"},
        {u"2024/02/29",
         {.unit = u"年", .lines = u"4"},
         u"2024/02/29\r\n2025/02/28\r\n2026/02/28\r\n2027/02/28\r\n2028/02/29\r\n"},
        {u"2024/02/29",
         {.unit = u"年", .step = u"4", .lines = u"2"},
         u"2024/02/29\r\n2028/02/29\r\n2032/02/29\r\n"},
        {u"2000/02/29", {.unit = u"年", .step = u"100", .lines = u"1"}, u"2000/02/29\r\n2100/02/28\r\n"},
        {u"2024/05/31",
         {.unit = u"月", .direction = kDown, .lines = u"3"},
         u"2024/05/31\r\n2024/04/30\r\n2024/03/31\r\n2024/02/29\r\n"},
        {u"9999/12/30", {.lines = u"1"}, u"9999/12/30\r\n9999/12/31\r\n"},
        {u"0100/01/02", {.direction = kDown, .lines = u"1"}, u"0100/01/02\r\n0100/01/01\r\n"},
        // A direction other than "インクリメント" steps back.
        {u"2024/01/02", {.direction = u"x", .lines = u"1"}, u"2024/01/02\r\n2024/01/01\r\n"},
        // The counts are numeric values rounded to whole numbers.
        {u"2024/01/01", {.step = u"2.5", .lines = u"1"}, u"2024/01/01\r\n2024/01/03\r\n"},
    };
    for (const auto& row : rows) {
        const OpRun r = series(row.upper, row.c);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(row.upper);
    }
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
        const std::optional<Text> out = series(u"2024/01/04", {.lines = u"1", .format = format}).out;
        ASSERT_TRUE(out);
        EXPECT_EQ(out->substr(12), Text(date) + u"\r\n");
    }
}

// The start text is checked in this order; dates leaving the range are run-time errors, reported
// by the direction's text.
TEST(GenerateDateSeries, RefusalsAndErrors) {
    const struct {
        TextView upper;
        Controls c;
        FakeContext::Shown shown;
    } rows[] = {
        {u"2024/01/05\r\n", {}, info(u"改行が含まれています。")},
        {u"2024/01\n/05", {}, info(u"改行が含まれています。")},
        {u"2024/1/5", {}, info(kFormat)},
        {u"2024/01/051", {}, info(kFormat)},
        {u"2024-01-05", {}, info(u"使用できる文字は半角数字および「/スラッシュ」です。")},
        {u"２024/01/05", {}, info(u"使用できる文字は半角数字および「/スラッシュ」です。")},
        {u"2024/001/5", {}, info(u"スラッシュの位置を確認してください。")},
        {u"2024//01/5", {}, info(u"スラッシュの位置を確認してください。")},
        {u"0099/01/01", {}, info(u"西暦100年～西暦9999年以外は指定できません。")},
        {u"2024/13/01", {}, info(u"月の設定は01～12の範囲で指定してください。")},
        {u"2024/00/01", {}, info(u"月の設定は01～12の範囲で指定してください。")},
        {u"2024/01/32", {}, info(u"日にちの設定は01～31の範囲で指定してください。")},
        {u"2024/01/00", {}, info(u"日にちの設定は01～31の範囲で指定してください。")},
        {u"2023/02/29", {}, info(u"日付を確認してください。")},
        {u"2100/02/29", {}, info(u"日付を確認してください。")},
        {u"9998/01/01",
         {.unit = u"年", .lines = u"2"},
         info(u"「西暦 + ステップ × 行数」が9999を超えています。")},
        {u"0101/01/01",
         {.unit = u"年", .direction = kDown, .lines = u"2"},
         info(u"「西暦 - ステップ × 行数」が西暦100年を下回っています。")},
        {u"9999/12/30", {.lines = u"5"}, exclamation(kUpError)},
        {u"9999/11/30", {.unit = u"月", .lines = u"2"}, exclamation(kUpError)},
        {u"0100/01/01", {.direction = kDown, .lines = u"1"}, exclamation(kDownError)},
        // The offset is a 32-bit quantity; so are the counts.
        {u"2024/01/01", {.unit = u"年", .step = u"2147483647", .lines = u"2"}, exclamation(kUpError)},
        {u"2024/01/01", {.step = u"2147483648"}, exclamation(kUpError)},
        {u"2024/01/01", {.step = u"0"}, exclamation(kUpError)},
        {u"2024/01/01", {.lines = u"abc"}, exclamation(kUpError)},
        {u"2024/01/01", {.unit = u"週"}, exclamation(kUpError)},
        {u"2024/01/01", {.direction = kDown, .format = u"yyyy/mm/dd"}, exclamation(kDownError)},
        // Millions of lines that would end beyond the range fail at once.
        {u"2024/01/01", {.lines = u"2147483647"}, exclamation(kUpError)},
    };
    for (const auto& row : rows) {
        const OpRun r = series(row.upper, row.c);
        EXPECT_EQ(r.out, std::nullopt) << show(row.upper);
        EXPECT_EQ(r.ctx.shown, std::vector{row.shown}) << show(row.upper);
    }
    // Exactly at the bounds the years pass.
    EXPECT_TRUE(series(u"9997/01/01", {.unit = u"年", .lines = u"2"}).out);
    EXPECT_TRUE(series(u"0102/01/01", {.unit = u"年", .direction = kDown, .lines = u"2"}).out);
}

TEST(GenerateDateSeries, StopAndClosingWriteNothing) {
    const OpRun stopped = series(u"2024/01/01", {.lines = u"100"}, test::stoppingAfter(2));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
    const OpRun closing = series(u"2024/1/1", {}, test::closingContext());
    EXPECT_EQ(closing.out, std::nullopt);
    EXPECT_TRUE(closing.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
