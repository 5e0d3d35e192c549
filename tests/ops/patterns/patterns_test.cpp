// The seventh tab's operations: regular expressions, replacement lists and CSV/TSV columns. The
// core's matching and reading are tested against ICU and Python's csv module; these rows test
// what the operations add: options read, refusals, counts told and rows left out.
#include <gtest/gtest.h>

#include <chrono>

#include "harness.h"
#include "ops/patterns/csv_columns.h"
#include "ops/patterns/csv_rows.h"
#include "ops/patterns/regex_operations.h"
#include "ops/patterns/replace_list.h"
#include "ops/patterns/table_options.h"

namespace kivo {
namespace {

using namespace test;

TEST(ReplacePattern, CountsReplacementsAndRefusesWithIcuWords) {
    expectRows(
        kReplacePattern,
        {
            {u"a1b22\nc333",
             {{"pattern", u"\\d+"}, {"replacement", u"#"}},
             u"a#b#\r\nc#",
             {info(u"3件置き換えました。")}},
            {u"2024-05-01",
             {{"pattern", u"(\\d+)-(\\d+)-(\\d+)"}, {"replacement", u"$3/$2/$1 $0"}},
             u"01/05/2024 2024-05-01",
             {info(u"1件置き換えました。")}},
            // The first match of each line, or of the whole text, where ^ is its start only.
            {u"aa\nab",
             {{"pattern", u"a"}, {"replacement", u"x"}, {"matches", u"最初の1つ"}},
             u"xa\r\nxb",
             {info(u"2件置き換えました。")}},
            {u"aa\r\nab",
             {{"pattern", u"^a"}, {"replacement", u"x"}, {"scope", u"テキスト全体"}},
             u"xa\r\nab",
             {info(u"1件置き換えました。")}},
            {u"Tokyo TOKYO",
             {{"pattern", u"tokyo"}, {"replacement", u"東京"}, {"ignore-case", u"1"}},
             u"東京 東京",
             {info(u"2件置き換えました。")}},
            {u"カタカナとひらがな",
             {{"pattern", u"\\p{Katakana}+"}, {"replacement", u"[$0]"}},
             u"[カタカナ]とひらがな",
             {info(u"1件置き換えました。")}},
            {u"abc\nd",
             {{"pattern", u"x"}, {"replacement", u"y"}},
             u"abc\r\nd",
             {info(u"正規表現に一致する文字列はありませんでした。置き換えた文字はありません。")}},
            {u"abc", {{"pattern", u""}}, std::nullopt, {info(u"正規表現を入力して下さい。")}},
            {u"abc",
             {{"pattern", u"a(b"}},
             std::nullopt,
             {exclamation(
                 u"正規表現の3文字目付近：括弧の対応が取れていません（U_REGEX_MISMATCHED_PAREN）。")}},
            {u"abc",
             {{"pattern", u"(b)"}, {"replacement", u"$2"}},
             std::nullopt,
             {exclamation(
                 u"置換文字列の1文字目：正規表現にないグループの番号です（U_INDEX_OUTOFBOUNDS_ERROR）。")}},
        });
}

TEST(ExtractPattern, KeepsLinesMatchesOrGroups) {
    const TextView upper = u"注文 A-102\n備考\n注文 B-7 C-8";
    expectRows(
        kExtractPattern,
        {
            {upper, {{"pattern", u"[A-Z]-\\d+"}}, u"注文 A-102\r\n注文 B-7 C-8"},
            {upper, {{"pattern", u"[A-Z]-\\d+"}, {"extract", u"一致しない行を抜き出す"}}, u"備考"},
            {upper,
             {{"pattern", u"[A-Z]-\\d+"}, {"extract", u"一致した部分を抜き出す"}},
             u"A-102\r\nB-7\r\nC-8"},
            {upper,
             {{"pattern", u"[A-Z]-(\\d+)"}, {"extract", u"一致した最初の(…)を抜き出す"}},
             u"102\r\n7\r\n8"},
            {upper,
             {{"pattern", u"[a-z]-\\d+"}, {"ignore-case", u"1"}, {"extract", u"一致した部分を抜き出す"}},
             u"A-102\r\nB-7\r\nC-8"},
            {upper, {{"pattern", u"Z-\\d"}}, std::nullopt, {info(u"抜き出すものはありませんでした。")}},
            {upper,
             {{"pattern", u"\\d+"}, {"extract", u"一致した最初の(…)を抜き出す"}},
             std::nullopt,
             {exclamation(u"正規表現に取り出すグループ（…）がありません。")}},
        });
}

TEST(ReplaceByList, RunsPairsInOrderAndCountsEach) {
    expectRows(
        kReplaceByList,
        {
            {u"株式会社ABC (株)XYZ",
             {{"pairs", u"株式会社\t(株)\n(株)\t㈱"}},
             u"㈱ABC ㈱XYZ",
             {info(u"3件置き換えました（1番目 1件、2番目 2件）。")}},
            {u"tel 03-1234",
             {{"pairs", u"# 電話番号\n(\\d+)-(\\d+)\t$1$2"}, {"kind", u"正規表現"}},
             u"tel 031234",
             {info(u"1件置き換えました（1番目 1件）。")}},
            {u"abc",
             {{"pairs", u"a\tb\nno tab"}},
             std::nullopt,
             {exclamation(u"2行目：検索する文字と置換する文字をTabで区切ってください。")}},
            {u"abc",
             {{"pairs", u"a(\t$1"}, {"kind", u"正規表現"}},
             std::nullopt,
             {exclamation(
                 u"1行目：正規表現の2文字目付近：括弧の対応が取れていません（U_REGEX_MISMATCHED_PAREN）。")}},
            {u"abc",
             {{"pairs", u"# only a comment"}},
             std::nullopt,
             {info(u"置換リストに置き換える組がありません。")}},
        });
}

TEST(RegexOperations, StopEndsACatastrophicPatternAndTheStepLimitRefusesIt) {
    const Text as(10000, u'a');
    const auto start = std::chrono::steady_clock::now();
    const OpRun stopped = run(kReplacePattern, as, {{"pattern", u"(a+)+b"}}, stoppingAfter(2));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());

    FakeContext bounded;
    bounded.setMatchStepLimit(20);
    const OpRun refused = run(kExtractPattern, as, {{"pattern", u"(a+)+b"}}, std::move(bounded));
    EXPECT_EQ(refused.out, std::nullopt);
    EXPECT_EQ(refused.messages(), std::vector<Text>{u"照合が制限時間を超えました（U_REGEX_TIME_OUT）。"});
}

TEST(CsvColumns, TakesRemovesAndConverts) {
    const TextView table = u"id,name,price\n1,\"Sato, K\",300\n2,Kato,45";
    expectRows(kSelectCsvColumns,
               {
                   {table, {{"columns", u"3,1"}}, u"price,id\r\n300,1\r\n45,2"},
                   {table, {{"columns", u"２-３"}}, u"name,price\r\n\"Sato, K\",300\r\nKato,45"},
                   {table, {{"columns", u"2"}, {"action", u"削除する"}}, u"id,price\r\n1,300\r\n2,45"},
                   {u"a\tb;c\td", {{"columns", u"2"}, {"separator", u"タブ"}}, u"b;c"},
                   {u"a\tb;c\td", {{"columns", u"2"}, {"separator", u";"}}, u"c\td"},
                   {table, {{"columns", u"2"}, {"separator", u"ab"}}, std::nullopt, {info(kBadSeparator)}},
                   {table, {{"columns", u"0"}}, std::nullopt, {info(u"列の番号は1から数えます。")}},
                   // A malformed row stops the run unless it is to be left out.
                   {u"a,b\n\"x,y\n",
                    {{"columns", u"1"}},
                    std::nullopt,
                    {exclamation(u"2行目：「\"」で始まる項目が閉じられていません。")}},
                   {u"a,b\nc,\"d\"e\nf,g",
                    {{"columns", u"2"}, {"malformed", u"除いて続ける"}},
                    u"b\r\ng",
                    {info(u"不正な行を除きました（1行）：2行目。")}},
               });
    expectRows(kConvertCsv, {
                                {u"a,\"b\tc\",\"d,e\"\n", {}, u"a\t\"b\tc\"\td,e\r\n"},
                                {u"a\t\"b,c\"\td", {{"from", u"Tab"}, {"to", u","}}, u"a,\"b,c\",d"},
                                {u"a,b", {{"to", u"\""}}, std::nullopt, {info(kBadSeparator)}},
                            });
}

TEST(CsvRows, SortsAndRemovesRepeatsByOneColumn) {
    const TextView table = u"name,price\nb,300\na,1200\nc,45\nd,300";
    expectRows(
        kSortCsvRows,
        {
            {table, {}, u"name,price\r\na,1200\r\nb,300\r\nc,45\r\nd,300"},
            {table, {{"column", u"2"}}, u"name,price\r\na,1200\r\nb,300\r\nd,300\r\nc,45"},
            {table,
             {{"column", u"2"}, {"key", u"数値順"}, {"direction", u"降順"}},
             u"name,price\r\na,1200\r\nb,300\r\nd,300\r\nc,45"},
            {u"file10\nfile9\nfile1", {{"key", u"自然順"}, {"header", u"0"}}, u"file1\r\nfile9\r\nfile10"},
            {table, {{"column", u"1,2"}}, std::nullopt, {info(u"列の番号を1つ入力して下さい。")}},
        });
    expectRows(kRemoveDuplicateCsvRows,
               {
                   {table, {{"column", u"2"}}, u"name,price\r\nb,300\r\na,1200\r\nc,45"},
                   {u"x\nx\ny", {{"header", u"0"}}, u"x\r\ny"},
                   {u"x\nx\ny", {}, u"x\r\nx\r\ny"},
               });
}

}  // namespace
}  // namespace kivo
