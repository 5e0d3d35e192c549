#include "ops/set4/numbered_copies.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::crlfLines;
using test::FakeContext;
using test::runOp;

struct Settings {
    TextView side = u"左", k = u"1", direction = u"インクリメント", copies = u"3", step = u"1", format = u"0",
             gap = u"0";
};

std::optional<Text> runCopies(TextView upper, const Settings& s, FakeContext& ctx) {
    return runOp(AddLinesAfterNthNumber, upper,
                 {{"Combo30", s.side},
                  {"Combo29", s.k},
                  {"Combo28", s.direction},
                  {"Text41", s.copies},
                  {"Combo35", s.step},
                  {"Combo36", s.format},
                  {"Combo37", s.gap}},
                 ctx);
}

std::optional<Text> runCopies(TextView upper, const Settings& s) {
    FakeContext ctx;
    return runCopies(upper, s, ctx);
}

constexpr TextView kDown = u"デクリメント";

TEST(AddLinesAfterNthNumber, CountsTheKthNumber) {
    struct Case {
        TextView in;
        Settings s;
        TextView out;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(runCopies(c.in, c.s), Text(c.out)) << test::narrow(c.in);
}

TEST(AddLinesAfterNthNumber, LineBreaksOfNumberedCopiesAreCrLf) {
    // Numbered copies write the template's breaks as CrLf; unchanged copies keep them as typed.
    EXPECT_EQ(runCopies(u"a1\r\nb", {.copies = u"2"}), Text(u"a1\r\nb\r\na2\r\nb"));
    EXPECT_EQ(runCopies(u"a1\nb\rc", {.copies = u"3", .gap = u"1"}),
              Text(u"a1\r\nb\r\nc\r\na1\nb\rc\r\na2\r\nb\r\nc"));
    // A final line break stays in every copy, so copies are separated by an empty line.
    EXPECT_EQ(runCopies(u"v1\r\n", {.copies = u"2"}), Text(u"v1\r\n\r\nv2\r\n"));
}

TEST(AddLinesAfterNthNumber, NotFound) {
    struct Case {
        TextView in;
        Settings s;
        TextView message;
    };
    const Case cases[] = {
        {u"abc", {}, u"1番目の半角数字が見つかりませんでした。"},
        {u"a0b", {}, u"1番目の半角数字が見つかりませんでした。"},
        {u"a1b2", {.k = u"3"}, u"3番目の半角数字が見つかりませんでした。"},
        {u"0", {.side = u"右"}, u"1番目の半角数字が見つかりませんでした。"},
        {u"00", {.k = u"2"}, u"2番目の半角数字が見つかりませんでした。"},
        {u"ａ１", {}, u"1番目の半角数字が見つかりませんでした。"},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(runCopies(c.in, c.s, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}));
    }
}

TEST(AddLinesAfterNthNumber, SignQuestions) {
    struct Case {
        TextView in;
        std::optional<char16_t> asked;  // the sign of the question, if one is asked
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
            FakeContext ctx;
            ctx.answers = {answer};
            const std::optional<Text> out = runCopies(c.in, {.copies = u"2"}, ctx);
            if (!c.asked) {
                EXPECT_TRUE(out) << test::narrow(c.in);
                EXPECT_TRUE(ctx.shown.empty());
                continue;
            }
            ASSERT_FALSE(ctx.shown.empty());
            EXPECT_EQ(ctx.shown[0],
                      (FakeContext::Shown{Icon::Question,
                                          u"半角数字の前に「 " + Text(1, *c.asked) +
                                              u" 」記号があります、数式は使えませんがよろしいですか？"}));
            EXPECT_EQ(out.has_value(), answer == Answer::Yes) << test::narrow(c.in);
        }
    }
    EXPECT_EQ(runCopies(u"5-3", {.copies = u"2"}), Text(u"5-3\r\n6-3"));
}

TEST(AddLinesAfterNthNumber, AThousandLineBreaksAtMost) {
    Text thousand = u"x1";
    for (int i = 0; i < 1000; ++i)
        thousand += u"\r\n";
    // The consecutive line breaks are fine here: the whole text is the template.
    EXPECT_TRUE(runCopies(thousand, {.copies = u"2"}));
    FakeContext ctx;
    EXPECT_EQ(runCopies(thousand + u"\n", {.copies = u"2"}, ctx), std::nullopt);
    EXPECT_EQ(ctx.texts(), std::vector<Text>{u"ループする文字列の改行が1000を超えています。"});
}

TEST(AddLinesAfterNthNumber, RunTimeErrors) {
    struct Case {
        TextView in;
        Settings s;
    };
    const Case cases[] = {
        {u"x1", {.k = u"256"}},
        {u"x1", {.gap = u"256"}},
        {u"x1", {.k = u"0"}},
        {u"x1", {.step = u"1000"}},
        {u"x1", {.copies = u"2x"}},
        {u"x1", {.copies = u"0"}},
        {u"x1", {.direction = u"上"}},
        {u"x1", {.format = u"00000000000000000"}},
        {u"x1", {.side = u"上"}},
        // A number beyond the currency range, and a count that leaves it.
        {u"n922337203685478", {}},
        {u"n922337203685477", {.copies = u"2"}},
        // A result longer than the pane can take is refused before it is built.
        {u"x1", {.copies = u"999999999999"}},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(runCopies(c.in, c.s, ctx), std::nullopt) << test::narrow(c.in);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(kGeneralError)}}));
    }
}

TEST(AddLinesAfterNthNumber, StopAndClosing) {
    for (int polls : {0, 3, 6}) {
        FakeContext stopped;
        stopped.stopAfterPolls = polls;
        EXPECT_EQ(runCopies(u"a\r\nb1", {.copies = u"5"}, stopped), std::nullopt);
        EXPECT_TRUE(stopped.shown.empty());
    }
    // While closing the sign question counts as Yes, and nothing is shown or written.
    FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(runCopies(u"5-3", {}, closing), std::nullopt);
    EXPECT_TRUE(closing.shown.empty());
}

}  // namespace
}  // namespace kivo
