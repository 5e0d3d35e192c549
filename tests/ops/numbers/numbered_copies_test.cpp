#include "ops/numbers/numbered_copies.h"

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
    TextView side = u"左", k = u"1", direction = u"インクリメント", copies = u"3", step = u"1", format = u"0",
             gap = u"0";
};

OpRun copies(TextView upper, const Controls& c, FakeContext ctx = {}) {
    return test::run(kAddLinesAfterNthNumber, upper,
                     {{"Combo30", Text(c.side)},
                      {"Combo29", Text(c.k)},
                      {"Combo28", Text(c.direction)},
                      {"Text41", Text(c.copies)},
                      {"Combo35", Text(c.step)},
                      {"Combo36", Text(c.format)},
                      {"Combo37", Text(c.gap)}},
                     std::move(ctx));
}

constexpr TextView kDown = u"デクリメント";

TEST(AddLinesAfterNthNumber, CountsTheKthNumber) {
    Text thousand = u"x1";
    for (int i = 0; i < 1000; ++i)
        thousand += u"\r\n";
    const std::vector error = {exclamation(kGeneralError)};
    const struct {
        Text upper;
        Controls c;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"No.5 abc", {}, u"No.5 abc\r\nNo.6 abc\r\nNo.7 abc"},
        {u"a1b22c333",
         {.side = u"右", .copies = u"2", .step = u"2", .format = u"0000"},
         u"a1b22c0333\r\na1b22c0335"},
        {u"a1b22c333", {.k = u"2"}, u"a1b22c333\r\na1b23c333\r\na1b24c333"},
        {u"a1b22c333", {.side = u"右", .k = u"3", .copies = u"2"}, u"a1b22c333\r\na2b22c333"},
        {u"item5", {}, u"item5\r\nitem6\r\nitem7"},
        {u"a120b", {.side = u"右", .copies = u"2"}, u"a120b\r\na121b"},
        {u"#12 x", {.side = u"右", .copies = u"2"}, u"#12 x\r\n#13 x"},
        {u"x007y", {.copies = u"2"}, u"x7y\r\nx8y"},
        {u"5", {.direction = kDown, .step = u"3"}, u"5\r\n2\r\n-1"},
        {u"5", {.direction = kDown, .step = u"6", .format = u"00"}, u"05\r\n-01\r\n-07"},
        // A template of digits alone is number 1 from the left, even when it spells 0.
        {u"0", {.copies = u"2"}, u"0\r\n1"},
        {u"-5", {.copies = u"2"}, u"-5\r\n-6"},
        // Full-width digits and signs separate numbers.
        {u"1０2", {.k = u"2", .copies = u"2"}, u"1０2\r\n1０3"},
        // Unchanged copies between numbered ones.
        {u"x1", {.copies = u"4", .gap = u"1"}, u"x1\r\nx1\r\nx2\r\nx1"},
        {u"x1", {.copies = u"5", .gap = u"2"}, u"x1\r\nx1\r\nx1\r\nx2\r\nx1"},
        // Digit runs longer than ten digits count whole, with their exact value.
        {u"n12345678901234", {.copies = u"2"}, u"n12345678901234\r\nn12345678901235"},
        {u"n922337203685475", {.copies = u"2"}, u"n922337203685475\r\nn922337203685476"},
        {u"n00000000000000000000001", {.copies = u"2"}, u"n1\r\nn2"},
        // Numbered copies write the template's breaks as CrLf; unchanged copies keep them as typed.
        {u"a1\r\nb", {.copies = u"2"}, u"a1\r\nb\r\na2\r\nb"},
        {u"a1\nb\rc", {.copies = u"3", .gap = u"1"}, u"a1\r\nb\r\nc\r\na1\nb\rc\r\na2\r\nb\r\nc"},
        // A final line break stays in every copy, so copies are separated by an empty line.
        {u"v1\r\n", {.copies = u"2"}, u"v1\r\n\r\nv2\r\n"},
        {u"abc", {}, std::nullopt, {info(u"1番目の半角数字が見つかりませんでした。")}},
        {u"a0b", {}, std::nullopt, {info(u"1番目の半角数字が見つかりませんでした。")}},
        {u"a1b2", {.k = u"3"}, std::nullopt, {info(u"3番目の半角数字が見つかりませんでした。")}},
        {u"0", {.side = u"右"}, std::nullopt, {info(u"1番目の半角数字が見つかりませんでした。")}},
        {u"00", {.k = u"2"}, std::nullopt, {info(u"2番目の半角数字が見つかりませんでした。")}},
        {u"ａ１", {}, std::nullopt, {info(u"1番目の半角数字が見つかりませんでした。")}},
        // A thousand line breaks at most; consecutive ones are fine: the whole text is the template.
        {thousand, {.copies = u"2"}, thousand + u"\r\n" + thousand.substr(0, 1) + u"2" + thousand.substr(2)},
        {thousand + u"\n",
         {.copies = u"2"},
         std::nullopt,
         {info(u"ループする文字列の改行が1000を超えています。")}},
        // The pre-check wants two copies at least.
        {u"x1",
         {.copies = u"0"},
         std::nullopt,
         {info(u"インクリメント～し改行して追加する行数を「2」以上で入力して下さい。")}},
        {u"x1", {.k = u"256"}, std::nullopt, error},
        {u"x1", {.gap = u"256"}, std::nullopt, error},
        {u"x1", {.k = u"0"}, std::nullopt, error},
        {u"x1", {.step = u"1000"}, std::nullopt, error},
        {u"x1", {.copies = u"2x"}, std::nullopt, error},
        {u"x1", {.direction = u"上"}, std::nullopt, error},
        {u"x1", {.format = u"00000000000000000"}, std::nullopt, error},
        {u"x1", {.side = u"上"}, std::nullopt, error},
        // A number beyond the currency range, and a count that leaves it.
        {u"n922337203685478", {}, std::nullopt, error},
        {u"n922337203685477", {.copies = u"2"}, std::nullopt, error},
        // A result longer than the pane can take is refused before it is built.
        {u"x1", {.copies = u"999999999999"}, std::nullopt, error},
    };
    for (const auto& row : rows) {
        const OpRun r = copies(row.upper, row.c);
        EXPECT_EQ(r.out, row.out) << show(row.upper.substr(0, 20));
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper.substr(0, 20));
    }
}

TEST(AddLinesAfterNthNumber, SignQuestions) {
    const struct {
        TextView upper;
        std::optional<char16_t> asked;  // the sign of the question, if one is asked
    } rows[] = {
        {u"5-3", u'-'},
        {u"5+3", u'+'},
        {u"5*3", u'*'},
        {u"5/3", u'/'},
        // "-" is looked for first, in its first occurrence only.
        {u"a-5+3", std::nullopt},
        {u"5+3-x", u'-'},
        {u"-5", std::nullopt},
        {u"5-", std::nullopt},
        {u"x+5*3", std::nullopt},
        {u"5+3*1", u'+'},
    };
    for (const auto& row : rows) {
        for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
            const OpRun r = copies(row.upper, {.copies = u"2"}, test::answering({answer}));
            if (!row.asked) {
                EXPECT_TRUE(r.out) << show(row.upper);
                EXPECT_TRUE(r.ctx.shown.empty());
                continue;
            }
            EXPECT_EQ(r.ctx.shown,
                      std::vector{test::question(u"半角数字の前に「 " + Text(1, *row.asked) +
                                                 u" 」記号があります、数式は使えませんがよろしいですか？")});
            EXPECT_EQ(r.out.has_value(), answer == Answer::Yes) << show(row.upper);
        }
    }
    EXPECT_EQ(copies(u"5-3", {.copies = u"2"}).out, Text(u"5-3\r\n6-3"));
}

TEST(AddLinesAfterNthNumber, StopAndClosing) {
    for (int polls : {0, 3, 6}) {
        const OpRun stopped = copies(u"a\r\nb1", {.copies = u"5"}, test::stoppingAfter(polls));
        EXPECT_EQ(stopped.out, std::nullopt);
        EXPECT_TRUE(stopped.ctx.shown.empty());
    }
    // While closing the sign question counts as Yes, and nothing is shown or written.
    const OpRun closing = copies(u"5-3", {}, test::closingContext());
    EXPECT_EQ(closing.out, std::nullopt);
    EXPECT_TRUE(closing.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
