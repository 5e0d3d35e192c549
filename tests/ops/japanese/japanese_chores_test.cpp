// The fifth tab's operations other than the width conversion: kana, duplicate lines, blanks,
// natural sort, the Shift-JIS check and the byte fold.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "harness.h"
#include "ops/japanese/byte_fold.h"
#include "ops/japanese/kana_conversion.h"
#include "ops/japanese/shift_jis_check.h"
#include "ops/lines/blanks.h"
#include "ops/lines/duplicate_lines.h"
#include "ops/lines/natural_sort.h"

namespace kivo {
namespace {

using namespace test;

struct Row {
    TextView upper;
    Text setting;  // the operation's list or count control
    std::optional<Text> out;
    std::vector<FakeContext::Shown> shown = {};
};

void expectRows(const OperationDeclaration& op, const char* control, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const OpRun r = run(op, row.upper, {{control, row.setting}});
        EXPECT_EQ(r.out, row.out) << op.name << ": " << show(row.upper) << " " << show(TextView(row.setting));
        EXPECT_EQ(r.ctx.shown, row.shown) << op.name << ": " << show(row.upper);
        if (!op.hasUtf8Run) continue;
        // The command line runs the UTF-8 bytes themselves to the same end.
        const BytesRun onBytes = runOnBytes(op, row.upper, {{control, row.setting}});
        EXPECT_EQ(onBytes.out, utf8Of(row.out)) << op.name << " on bytes: " << show(row.upper);
        EXPECT_EQ(onBytes.ctx.shown, row.shown) << op.name << " on bytes: " << show(row.upper);
    }
}

TEST(ConvertKana, ConvertsHiraganaAndKatakanaBothWays) {
    expectRows(kConvertKana, "Combo60",
               {
                   {u"ぁあゔゕゖゝゞ", u"ひらがな→カタカナ", u"ァアヴヵヶヽヾ"},
                   {u"ァアヴヽヾ", u"カタカナ→ひらがな", u"ぁあゔゝゞ"},
                   // ヵ and ヶ stand for 箇 and stay.
                   {u"一ヶ月、三ヵ所", u"カタカナ→ひらがな", u"一ヶ月、三ヵ所"},
                   // ー, ヷ–ヺ, half-width katakana and everything else are kept.
                   {u"ラーメンヷヺｶﾅ漢\r\n", u"カタカナ→ひらがな", u"らーめんヷヺｶﾅ漢\r\n"},
                   {u"abc", u"ひらがな→カタカナ", u"abc"},
               });
}

TEST(RemoveDuplicateLines, KeepsFirstLastUniqueOrCounts) {
    const TextView cities = u"東京\r\n大阪\r\n東京\r\n\r\n名古屋\r\n大阪\r\n\r\n東京\r\n";
    expectRows(
        kRemoveDuplicateLines, "Combo61",
        {
            {cities, u"削除する(最初の行を残す)", u"東京\r\n大阪\r\n\r\n名古屋\r\n"},
            {cities, u"削除する(最後の行を残す)", u"名古屋\r\n大阪\r\n\r\n東京\r\n"},
            {cities, u"すべて削除する(1回だけの行を残す)", u"名古屋\r\n"},
            {cities, u"数える(回数とTabを行頭に付ける)", u"3\t東京\r\n2\t大阪\r\n2\t\r\n1\t名古屋\r\n"},
            // Lines compare exactly; Cr and Lf are line breaks like CrLf; the result ends
            // with a line break exactly when the text did.
            {u"a\rA\na \r\na", u"削除する(最初の行を残す)", u"a\r\nA\r\na "},
            {u"a\na", u"すべて削除する(1回だけの行を残す)", u""},
            {u"a\na\n", u"すべて削除する(1回だけの行を残す)", u""},
            {u"\n", u"数える(回数とTabを行頭に付ける)", u"1\t\r\n"},
        });
}

// Thousands of lines, many alike and many colliding in the table: the counts a plain map gives.
TEST(RemoveDuplicateLines, CountsAsAPlainMapDoesOnManyLines) {
    std::mt19937 random(37);
    Text upper;
    std::vector<Text> order;
    std::map<Text, int> counts;
    for (int i = 0; i < 20'000; ++i) {
        Text line(random() % 4, u'a');
        for (char16_t& c : line)
            c = static_cast<char16_t>(u'a' + random() % 5);
        if (counts[line]++ == 0) order.push_back(line);
        upper += line + u"\r\n";
    }
    Text expected;
    for (const Text& line : order) {
        const std::string n = std::to_string(counts[line]);
        expected += Text(n.begin(), n.end()) + u"\t" + line + u"\r\n";
    }
    const OpRun r = run(kRemoveDuplicateLines, upper, {{"Combo61", u"数える(回数とTabを行頭に付ける)"}});
    EXPECT_TRUE(r.out == expected);
    const BytesRun onBytes =
        runOnBytes(kRemoveDuplicateLines, upper, {{"Combo61", u"数える(回数とTabを行頭に付ける)"}});
    EXPECT_TRUE(onBytes.out == utf8::encode(expected));
}

TEST(CleanBlanks, TrimsOrRemovesOrSqueezes) {
    const TextView text = u" a　b\t\r\n\t\r\n\r\n\u3000 \r\nc \r\n\r\nd";
    expectRows(kCleanBlanks, "Combo62",
               {
                   {text, u"行頭と行末の空白を削除する", u"a　b\r\n\r\n\r\n\r\nc\r\n\r\nd"},
                   {text, u"行末の空白を削除する", u" a　b\r\n\r\n\r\n\r\nc\r\n\r\nd"},
                   {text, u"空行を削除する", u" a　b\t\r\nc \r\nd"},
                   {text, u"連続する空行を1行にする", u" a　b\t\r\n\r\nc \r\n\r\nd"},
                   {u"\r\n \r\n", u"空行を削除する", u""},
                   {u"x\n\n", u"連続する空行を1行にする", u"x\r\n\r\n"},
               });
}

TEST(SortLinesNaturally, ComparesRunsOfDigitsByValue) {
    expectRows(kSortLinesNaturally, "Combo63",
               {
                   {u"第2回\r\n第10回\r\n第１回", u"昇順でソートする", u"第１回\r\n第2回\r\n第10回"},
                   {u"第2回\r\n第10回\r\n第１回\r\n", u"降順でソートする", u"第10回\r\n第2回\r\n第１回\r\n"},
                   // Equal values are ordered by their code units, in both directions.
                   {u"x007\nx7\nx07", u"昇順でソートする", u"x007\r\nx07\r\nx7"},
                   {u"x007\nx7\nx8", u"降順でソートする", u"x8\r\nx7\r\nx007"},
                   // A digit of either width stands before kana and kanji, whatever the input order.
                   {u"第2回\n第三回\n第１回", u"昇順でソートする", u"第１回\r\n第2回\r\n第三回"},
                   {u"第三回\n第１回\n第2回", u"昇順でソートする", u"第１回\r\n第2回\r\n第三回"},
                   {u"第２回\n第2回\na!\na１", u"昇順でソートする", u"a!\r\na１\r\n第2回\r\n第２回"},
                   // Numbers of any length; other characters by code unit.
                   {u"a99999999999999999999\na100000000000000000000\na9", u"昇順でソートする",
                    u"a9\r\na99999999999999999999\r\na100000000000000000000"},
                   {u"b\nB\na1b\na1a\n\n", u"昇順でソートする", u"\r\nB\r\na1a\r\na1b\r\nb\r\n"},
               });
    EXPECT_LT(compareNaturally(u"file2", u"file10"), 0);
    EXPECT_LT(compareNaturally(u"007", u"７"), 0);
    EXPECT_EQ(compareNaturally(u"７", u"７"), 0);
    EXPECT_GT(compareNaturally(u"a1", u"a"), 0);
}

TEST(SortLinesNaturally, GivesOneOrderWhateverTheInputOrder) {
    // Digit runs of both widths with and without leading zeros beside letters, kana and kanji,
    // where a comparison that is not one order shows itself.
    const std::vector<Text> parts = {u"",  u"第", u"回", u"a",  u"Ｚ", u"か", u"カ",   u"三",  u"-",  u" ",
                                     u"0", u"7",  u"07", u"10", u"０", u"７", u"１０", u"0７", u"9９"};
    std::mt19937 random(32);
    std::vector<Text> lines;
    for (int i = 0; i < 600; ++i) {
        Text line;
        for (int k = 0; k < 4; ++k)
            line += parts[random() % parts.size()];
        lines.push_back(line);
    }
    std::map<Text, std::optional<Text>> firstResult;
    for (int round = 0; round < 8; ++round) {
        std::shuffle(lines.begin(), lines.end(), random);
        Text upper;
        for (const Text& line : lines)
            upper += line + u"\n";
        for (const Text order : {u"昇順でソートする", u"降順でソートする"}) {
            const OpRun r = run(kSortLinesNaturally, upper, {{"Combo63", order}});
            ASSERT_TRUE(r.out);
            if (round == 0) firstResult[order] = r.out;
            EXPECT_EQ(r.out, firstResult[order]) << "round " << round;
        }
    }
}

TEST(CheckShiftJis, ListsReplacesOrRemovesWhatShiftJisCannotHold) {
    const TextView text = u"a😀b\r\n①™c€\rx\né";
    expectRows(
        kCheckShiftJis, "Combo64",
        {
            {text, u"一覧にする",
             u"1行2文字目：😀（U+1F600）\r\n2行2文字目：™（U+2122）\r\n2行4文字目：€（U+20AC）\r\n"
             u"4行1文字目：é（U+00E9）"},
            {text, u"「?」に置き換える", u"a?b\r\n①?c?\rx\n?"},
            {text, u"削除する", u"ab\r\n①c\rx\n"},
            {u"\xD800x", u"一覧にする", u"1行1文字目：\xD800（U+D800）"},
            {u"abc①", u"一覧にする", std::nullopt, {info(u"Shift-JISで表せない文字はありませんでした。")}},
            // A clean text passes through a clean-up unchanged, with a word that nothing changed.
            {u"abc①\r\n",
             u"削除する",
             u"abc①\r\n",
             {info(u"Shift-JISで表せない文字はありませんでした。削除した文字はありません。")}},
            {u"abc",
             u"「?」に置き換える",
             u"abc",
             {info(u"Shift-JISで表せない文字はありませんでした。置き換えた文字はありません。")}},
        });
}

TEST(BreakLinesByBytes, CutsEveryLineWithinTheBytesNeverInsideACharacter) {
    expectRows(
        kBreakLinesByBytes, "Combo65",
        {
            {u"あいうえおabc\r\n\r\nxyz\r\n", u"3", u"あ\r\nい\r\nう\r\nえ\r\nおa\r\nbc\r\n\r\nxyz\r\n"},
            {u"abcdef", u"4", u"abcd\r\nef"},
            // A character wider than the limit stands alone.
            {u"aあb", u"1", u"a\r\nあ\r\nb"},
            {u"a😀b", u"2", u"a\r\n😀\r\nb"},
            {u"ab", u"80", u"ab"},
        });
}

TEST(BreakLinesByBytes, KeepsTheLineRulesWhenAsked) {
    const struct {
        TextView upper;
        Text bytes;
        bool lineRules;
        Text out;
    } rows[] = {
        {u"あいう。えお", u"6", false, u"あいう\r\n。えお"},
        // One character not allowed at a line start hangs over the limit.
        {u"あいう。えお", u"6", true, u"あいう。\r\nえお"},
        {u"ｱｲｰｳ", u"2", true, u"ｱｲｰ\r\nｳ"},
        {u"あいう。", u"6", true, u"あいう。"},
        // Two in a row, or an opening bracket at the end: the piece ends earlier.
        {u"あいう」。え", u"6", true, u"あい\r\nう」。\r\nえ"},
        {u"あい「う」", u"6", true, u"あい\r\n「う」"},
        // A piece keeps a character whatever the rules.
        {u"「「「", u"2", true, u"「\r\n「\r\n「"},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kBreakLinesByBytes, row.upper,
                            {{"Combo65", row.bytes}, {"Check5(5)", row.lineRules ? u"1" : u"0"}});
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " " << row.lineRules;
    }
}

}  // namespace
}  // namespace kivo
