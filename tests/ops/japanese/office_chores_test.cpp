// The sixth tab's operations: date forms, business days, legacy characters and kanji numerals.
#include <gtest/gtest.h>

#include "harness.h"
#include "ops/dates/business_days.h"
#include "ops/dates/date_conversion.h"
#include "ops/japanese/kanji_numeral_conversion.h"
#include "ops/japanese/legacy_replacement.h"
#include "text/cp932.h"
#include "text/legacy_characters.h"

namespace kivo {
namespace {

using namespace test;

// Lines each followed by CrLf, as the listings end.
Text listed(std::initializer_list<TextView> lines) {
    Text out;
    for (TextView line : lines)
        (out += line) += u"\r\n";
    return out;
}

Settings form(TextView entry, bool weekday = false) {
    return {{"Combo66", Text(entry)}, {"Check6(0)", weekday ? u"1" : u"0"}};
}

TEST(ConvertDateForms, RewritesEveryFormAndReportsWhatItCannot) {
    expectRows(
        kConvertDateForms,
        {
            {u"2024/1/31 2024-01-31 2024.1.31 2024年1月31日 令和6年1月31日 R6.1.31 R06/01/31",
             form(u"西暦(2024/01/31)"),
             u"2024/01/31 2024/01/31 2024/01/31 2024/01/31 2024/01/31 2024/01/31 2024/01/31"},
            // Every era's first and last days, and 元年.
            {u"1912/7/29 1912/7/30 1926/12/24 1926/12/25 1989/1/7 1989/1/8 2019/4/30 2019/5/1",
             form(u"和暦(令和6年1月31日)"),
             u"明治45年7月29日 大正元年7月30日 大正15年12月24日 昭和元年12月25日 昭和64年1月7日 "
             u"平成元年1月8日 "
             u"平成31年4月30日 令和元年5月1日"},
            {u"H31.4.30、S64.1.7、令和元年5月1日", form(u"西暦(2024/1/31)"),
             u"2019/4/30、1989/1/7、2019/5/1"},
            {u"2019/5/1 2024/1/31", form(u"和暦(R06.01.31)"), u"R01.05.01 R06.01.31"},
            // Leap days: 2023 and 1900 have none, and the dates stay as they are.
            {u"2024/2/29 2023/2/29 1900/2/29 2000/2/29",
             form(u"和暦(R6.1.31)"),
             u"R6.2.29 2023/2/29 1900/2/29 H12.2.29",
             {info(u"存在しない日付をそのままにしました（2件）：1行11文字目：2023/2/29、1行21文字目：1900/2/"
                   u"29")}},
            // Printed before the change of era: counted on from the era's first year.
            {u"発行\r\n平成32年1月1日まで有効",
             form(u"西暦(2024年1月31日)"),
             u"発行\r\n2020年1月1日まで有効",
             {info(u"元号の期間外の日付を元年から数えて変換しました（1件）：2行1文字目：平成32年1月1日")}},
            {u"1868/10/22 1868/10/23",
             form(u"和暦(令和6年1月31日)"),
             u"1868/10/22 明治元年10月23日",
             {info(u"明治より前の日付は和暦にできないため、そのままにしました（1件）：1行1文字目：1868/10/"
                   u"22")}},
            // The weekday written after a date is replaced by the right one, or left alone.
            {u"2024/1/31（火）", form(u"西暦(2024年1月31日)", true), u"2024年1月31日（水）"},
            {u"2024/1/31(水)", form(u"西暦(2024年1月31日)"), u"2024年1月31日(水)"},
            // Line breaks and everything around the dates stay; no date inside a longer number.
            {u"a\r2024/1/31\nb 12024/1/31\r\n", form(u"西暦(2024/01/31)"),
             u"a\r2024/01/31\nb 12024/1/31\r\n"},
            {u"日付なし",
             form(u"西暦(2024/01/31)"),
             u"日付なし",
             {info(u"変換する日付はありませんでした。")}},
        });
}

Settings businessDays(TextView start, TextView count, TextView span, TextView dateForm, bool yearEndOff,
                      bool holidays, bool weekday = false) {
    return {{"DTPicker4", Text(start)},
            {"Combo67", Text(count)},
            {"Combo68", Text(span)},
            {"Combo69", Text(dateForm)},
            {"Check6(1)", weekday ? u"1" : u"0"},
            {"Check6(2)", yearEndOff ? u"1" : u"0"},
            {"Check6(3)", holidays ? u"1" : u"0"}};
}

TEST(ListBusinessDays, SkipsWeekendsAndHolidaysByTheHolidayLaw) {
    const TextView padded = u"西暦(2024/01/31)";
    const TextView unknownYears = u"祝日の分かる1955年～2099年の範囲で指定して下さい。";
    expectRows(
        kListBusinessDays,
        {
            // The holidays moved for the Olympics, 2021 and 2020.
            {u"", businessDays(u"2021/07/19", u"7", u"営業日分", padded, false, true, true),
             listed({u"2021/07/19（月）", u"2021/07/20（火）", u"2021/07/21（水）",
                     u"2021/07/22（木）\t海の日", u"2021/07/23（金）\tスポーツの日", u"2021/07/26（月）",
                     u"2021/07/27（火）", u"2021/07/28（水）", u"2021/07/29（木）"})},
            {u"", businessDays(u"2020/07/22", u"3", u"営業日分", u"西暦(2024/1/31)", false, true),
             listed({u"2020/7/22", u"2020/7/23\t海の日", u"2020/7/24\tスポーツの日", u"2020/7/27",
                     u"2020/7/28"})},
            // The change of era: 国民の休日 between two holidays, 振替休日 after a Sunday.
            {u"", businessDays(u"2019/04/26", u"2", u"営業日分", u"和暦(令和6年1月31日)", false, true),
             listed({u"平成31年4月26日", u"平成31年4月29日\t昭和の日", u"平成31年4月30日\t国民の休日",
                     u"令和元年5月1日\t即位の日", u"令和元年5月2日\t国民の休日",
                     u"令和元年5月3日\t憲法記念日", u"令和元年5月6日\t振替休日", u"令和元年5月7日"})},
            {u"", businessDays(u"2019/04/26", u"1", u"ヶ月分", u"和暦(R6.1.31)", false, false),
             listed({u"H31.4.26", u"R1.5.7", u"R1.5.8", u"R1.5.9", u"R1.5.10", u"R1.5.13", u"R1.5.14",
                     u"R1.5.15", u"R1.5.16", u"R1.5.17", u"R1.5.20", u"R1.5.21", u"R1.5.22", u"R1.5.23",
                     u"R1.5.24"})},
            // The first 振替休日, 1973.
            {u"", businessDays(u"1973/04/27", u"2", u"営業日分", padded, false, true),
             listed({u"1973/04/27", u"1973/04/30\t振替休日", u"1973/05/01"})},
            // The year-end days off, when asked.
            {u"", businessDays(u"2022/12/28", u"3", u"営業日分", padded, false, false),
             listed({u"2022/12/28", u"2022/12/29", u"2022/12/30"})},
            {u"", businessDays(u"2022/12/28", u"3", u"営業日分", padded, true, true),
             listed({u"2022/12/28", u"2022/12/29\t年末年始", u"2022/12/30\t年末年始", u"2023/01/02\t振替休日",
                     u"2023/01/03\t年末年始", u"2023/01/04", u"2023/01/05"})},
            {u"",
             businessDays(u"2099/12/31", u"2", u"営業日分", padded, false, false),
             std::nullopt,
             {info(unknownYears)}},
            {u"",
             businessDays(u"1954/12/31", u"1", u"ヶ月分", padded, false, false),
             std::nullopt,
             {info(unknownYears)}},
        });
}

Settings action(TextView entry) {
    return {{"Combo70", Text(entry)}};
}

TEST(ReplaceLegacyCharacters, ListsOrReplacesWhatJisX0208Lacks) {
    expectRows(
        kReplaceLegacyCharacters,
        {
            {u"①\r\nⅢ㈱x髙", action(u"一覧にする"),
             u"1行1文字目：①（U+2460）\r\n2行1文字目：Ⅲ（U+2162）\r\n2行2文字目：㈱（U+3231）\r\n"
             u"2行4文字目：髙（U+9AD9）"},
            {u"①Ⅲ㈱㍻㎝≒髙﨑\r\n", action(u"標準の文字に置き換える"), u"(1)III(株)平成cm≒高崎\r\n"},
            // A character without a standard form is left and reported.
            {u"x\uE000",
             action(u"標準の文字に置き換える"),
             u"x\uE000",
             {info(u"標準の文字がない機種依存文字をそのままにしました（1件）：1行2文字目：\uE000")}},
            {u"abc≒", action(u"一覧にする"), std::nullopt, {info(u"機種依存文字はありませんでした。")}},
            {u"abc",
             action(u"標準の文字に置き換える"),
             u"abc",
             {info(u"機種依存文字はありませんでした。置き換えた文字はありません。")}},
        });
}

// The whole table: every replacement is plain JIS X 0208 text that a second pass leaves alone, and
// what is left after replacing is exactly the characters without a standard form.
TEST(ReplaceLegacyCharacters, ReplacementsAreStandardAndStable) {
    Text every;
    Text withoutForm;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (!isLegacyCharacter(static_cast<char16_t>(c))) continue;
        every.push_back(static_cast<char16_t>(c));
        if (!legacyReplacement(static_cast<char16_t>(c))) withoutForm.push_back(static_cast<char16_t>(c));
    }
    ASSERT_GT(every.size(), 700u);
    const OpRun replaced = run(kReplaceLegacyCharacters, every, action(u"標準の文字に置き換える"));
    ASSERT_TRUE(replaced.out);
    Text left;
    for (char16_t c : *replaced.out) {
        EXPECT_TRUE(cp932::hasForm(c)) << show(Text(1, c));
        if (isLegacyCharacter(c)) left.push_back(c);
    }
    EXPECT_EQ(left, withoutForm);
    const OpRun again = run(kReplaceLegacyCharacters, *replaced.out, action(u"標準の文字に置き換える"));
    EXPECT_EQ(again.out, replaced.out);
}

Settings direction(TextView entry) {
    return {{"Combo71", Text(entry)}};
}

TEST(ConvertKanjiNumerals, ConvertsBothWaysAndLeavesWordsWithOneNumeral) {
    expectRows(kConvertKanjiNumerals,
               {
                   {u"二千二十四年、一〇五号、三万五千円、十五日、百人、〇〇七、零",
                    direction(u"漢数字→半角数字"), u"2024年、105号、35000円、15日、百人、007、零"},
                   {u"二千二十四\r\n二〇二四\n", direction(u"漢数字→全角数字"), u"２０２４\r\n２０２４\n"},
                   // The trap: one numeral in a word is no number.
                   {u"一人で一部を一番に、万一",
                    direction(u"漢数字→半角数字"),
                    u"一人で一部を一番に、万一",
                    {info(u"変換する漢数字はありませんでした。")}},
                   {u"2024年1月、007", direction(u"数字→漢数字(二〇二四)"), u"二〇二四年一月、〇〇七"},
                   {u"2024年 35000円 10000000 0 ２０", direction(u"数字→漢数字(二千二十四)"),
                    u"二千二十四年 三万五千円 千万 〇 二十"},
                   {u"3.14と1,000",
                    direction(u"数字→漢数字(二千二十四)"),
                    u"3.14と1,000",
                    {info(u"変換する数字はありませんでした。")}},
               });
}

}  // namespace
}  // namespace kivo
