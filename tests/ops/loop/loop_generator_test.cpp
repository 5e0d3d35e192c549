#include "ops/loop/loop_generator.h"

#include <gtest/gtest.h>

#include "loop_settings.h"

namespace kivo::loop_test {
namespace {

using test::exclamation;
using test::info;
using test::question;

constexpr TextView kError = u"文字数オーバーまたはその他エラーです。";
constexpr TextView kMinusQuestion =
    u"マイナス記号が数字と数字の間にあります、計算式の計算は行いませんがよろしいですか？。";
constexpr TextView kLeadingZeroQuestion =
    u"「01」のように0から始まる数値があります、インクリメントまたはデクリメントする場合左側の0は省略されます"
    u"、"
    u"数字の前に「001」の様にする場合はFormatを変更してください、このまま処理を行いますか？";
constexpr TextView kDigitOrMinus = u"追加する文字に半角数字および「-」(マイナス記号)は使えません。";
const Text kSixteenZeros(16, u'0');

struct OutputCase {
    Text upper;
    std::vector<SlotSetting> slots;
    Text loops;
    Text out;
    std::optional<AddSetting> add = std::nullopt;
};

void expectOutputs(const std::vector<OutputCase>& cases) {
    for (const OutputCase& c : cases) {
        const OpRun r = runLoop(c.upper, loopSettings(c.slots, c.loops, c.add));
        EXPECT_EQ(show(r.out), show(c.out)) << "template " << show(c.upper);
        for (const FakeContext::Shown& s : r.ctx.shown)
            EXPECT_EQ(s.icon, Icon::Question) << show(c.upper) << ": " << show(s.text);
    }
}

TEST(GenerateLoop, CountsTheTickedNumbersFromCopyToCopy) {
    expectOutputs({
        {u"No.1", {slot(0)}, u"3", u"No.1\r\nNo.2\r\nNo.3"},
        {u"No.1\r\n", {slot(0)}, u"3", u"No.1\r\nNo.2\r\nNo.3\r\n"},
        {u"No.1", {padded(0, u"000")}, u"3", u"No.001\r\nNo.002\r\nNo.003"},
        {u"x1", {down(0, u"1", u"00")}, u"3", u"x01\r\nx00\r\nx-01"},
        {u"a1b2", {slot(1, u"インクリメント", u"10")}, u"2", u"a1b2\r\na1b12"},
        {u"item1, file1.txt",
         {slot(0), padded(1, u"00")},
         u"3",
         u"item1, file01.txt\r\nitem2, file02.txt\r\nitem3, file03.txt"},
        {u"n7", {slot(0)}, u"1", u"n7"},
        // A template that starts with a digit: no marker character reaches the result.
        {u"5a", {slot(0)}, u"2", u"5a\r\n6a"},
        {u"05a", {padded(0, u"00")}, u"2", u"05a\r\n06a"},
        // Lone Cr and Lf are line breaks of the template and come out as CrLf.
        {u"a1\rb", {slot(0)}, u"2", u"a1\r\nb\r\na2\r\nb"},
        {u"a1\n", {slot(0)}, u"2", u"a1\r\na2\r\n"},
        {u"\r\na1", {slot(0)}, u"2", u"\r\na1\r\n\r\na2"},
        {u"a1\r\n\r\n", {slot(0)}, u"2", u"a1\r\n\r\na2\r\n\r\n"},
        // Full-width digits, "+", "." and "," end a number.
        {u"x+1", {slot(0)}, u"2", u"x+1\r\nx+2"},
        {u"1.5", {slot(1)}, u"2", u"1.5\r\n1.6"},
        {u"1,000", {slot(0)}, u"2", u"1,000\r\n2,000"},
        {u"１2", {slot(0)}, u"2", u"１2\r\n１3"},
    });
}

TEST(GenerateLoop, SignsAndMinusSequences) {
    expectOutputs({
        // The sign belongs to the number.
        {u"-5a", {slot(0)}, u"2", u"-5a\r\n-4a"},
        {u"-5", {slot(0)}, u"2", u"-5\r\n-4"},
        {u"v-3", {slot(0, u"インクリメント", u"2", u"000")}, u"4", u"v-003\r\nv-001\r\nv001\r\nv003"},
        {u"x-0", {slot(0)}, u"2", u"x0\r\nx1"},
        // A "-" after a "-" is no sign.
        {u"a--5", {slot(0)}, u"2", u"a--5\r\na--6"},
        {u"a5--3", {slot(0), slot(1)}, u"2", u"a5--3\r\na6--4"},
        // Going negative there keeps counting: the "-" written is the value's own sign.
        {u"a--5", {down(0, u"10")}, u"3", u"a--5\r\na---5\r\na---15"},
        // A digit, "-", digit sequence is one number with the value of its first part.
        {u"5-3x", {slot(0)}, u"2", u"5x\r\n6x"},
        {u"5-3-2x", {slot(0)}, u"2", u"5x\r\n6x"},
        {u"a1-2b3", {slot(0), slot(1)}, u"2", u"a1b3\r\na2b4"},
        // A "-" that is not followed by a digit is an ordinary character and ends the number.
        {u"1-a", {slot(0)}, u"2", u"1-a\r\n2-a"},
        {u"a1-", {slot(0)}, u"2", u"a1-\r\na2-"},
        {u"a-1-", {slot(0)}, u"2", u"a-1-\r\na0-"},
        {u"a-b1", {slot(0)}, u"2", u"a-b1\r\na-b2"},
        {u"a1-b2", {slot(1)}, u"2", u"a1-b2\r\na1-b3"},
    });
}

TEST(GenerateLoop, SeveralSlotsOverOneTemplate) {
    const auto decimal = [](int v) {
        const std::string d = std::to_string(v);
        return Text(d.begin(), d.end());
    };
    Text seventeen, seventeenNext;
    for (int i = 1; i <= 17; ++i) {
        seventeen.append(u"n").append(decimal(i)).append(u",");
        seventeenNext.append(u"n").append(decimal(i + 1)).append(u",");
    }
    std::vector<SlotSetting> all;
    for (int i = 0; i < 17; ++i)
        all.push_back(slot(i));
    expectOutputs({
        {u"a1b2c3",
         {slot(0), down(1, u"1", u"00"), slot(2, u"インクリメント", u"10", u"000")},
         u"3",
         u"a1b02c003\r\na2b01c013\r\na3b00c023"},
        {u"a1b2c3", {slot(0), slot(2)}, u"2", u"a1b2c3\r\na2b2c4"},
        {seventeen, all, u"2", seventeen + u"\r\n" + seventeenNext},
        {seventeen,
         {slot(16, u"インクリメント", u"100")},
         u"2",
         seventeen + u"\r\n" + seventeen.substr(0, seventeen.size() - 3) + u"117,"},
        {u"a1b2", {slot(0), slot(1)}, u"2", u"a#1b#2\r\na#2b#3", AddSetting{u"左", u"#"}},
        {u"a1b2", {slot(0), slot(1)}, u"2", u"a1#b2#\r\na2#b3#", AddSetting{u"右", u"#"}},
        {u"a1b2c3", {slot(0), slot(2)}, u"2", u"a1_b2c3_\r\na2_b2c4_", AddSetting{u"右", u"_"}},
    });
}

TEST(GenerateLoop, AddsTheStringOnceBesideEveryTickedNumber) {
    expectOutputs({
        {u"a1\r\n", {slot(0)}, u"2", u"a#1\r\na#2\r\n", AddSetting{u"左", u"#"}},
        {u"a1\r\n", {slot(0)}, u"2", u"a1#\r\na2#\r\n", AddSetting{u"右", u"#"}},
        // Any side text but "左" is the right side.
        {u"a1", {slot(0)}, u"2", u"a1#\r\na2#", AddSetting{u"x", u"#"}},
        {u"a1", {slot(0)}, u"2", u"a1\r\na2", AddSetting{u"左", u""}},
        {u"a1", {slot(0)}, u"2", u"aあい1\r\naあい2", AddSetting{u"左", u"あい"}},
        // Every line break of the add string comes out as one CrLf.
        {u"a1", {slot(0)}, u"2", u"a\r\n1\r\na\r\n2", AddSetting{u"左", u"\r\n"}},
        {u"a1", {slot(0)}, u"2", u"ax\r\ny\r\nz1\r\nax\r\ny\r\nz2", AddSetting{u"左", u"x\ry\r\nz"}},
    });
    // Without Check4 the add string is not used at all.
    test::Settings p = loopSettings({slot(0)}, u"2", AddSetting{u"左", u"1"});
    p.push_back({"Check4", u"0"});
    EXPECT_EQ(runLoop(u"a1", p).out, Text(u"a1\r\na2"));
}

TEST(GenerateLoop, FormatsOfOneAndSixteenZeros) {
    expectOutputs({
        {u"n5", {padded(0, kSixteenZeros)}, u"2", u"n0000000000000005\r\nn0000000000000006"},
        {u"n-5", {down(0, u"1", kSixteenZeros)}, u"2", u"n-0000000000000005\r\nn-0000000000000006"},
        {u"n922337203685477",
         {down(0, u"1", kSixteenZeros)},
         u"2",
         u"n0922337203685477\r\nn0922337203685476"},
        {u"n123", {down(0, u"100", u"0")}, u"3", u"n123\r\nn23\r\nn-77"},
        {u"n00012", {slot(0)}, u"2", u"n12\r\nn13"},
        {u"n00012", {padded(0, u"00000")}, u"2", u"n00012\r\nn00013"},
    });
}

TEST(GenerateLoop, StepsAreSixteenBitWholeNumbersRoundedTiesToEven) {
    struct Case {
        Text step;
        Text second;
    };
    const Case cases[] = {
        {u"1", u"n2"},   {u"999", u"n1000"}, {u"5000", u"n5001"}, {u"32767", u"n32768"}, {u"1.5", u"n3"},
        {u"2.5", u"n3"}, {u"3.5", u"n5"},    {u"1e3", u"n1001"},  {u"10abc", u"n11"},    {u"1e-9", u"n1"},
    };
    for (const Case& c : cases) {
        const OpRun r = runLoop(u"n1", loopSettings({slot(0, u"インクリメント", c.step)}, u"2"));
        EXPECT_EQ(show(r.out), show(u"n1\r\n" + c.second)) << show(c.step);
    }
    // Every slot's step is held, ticked or not.
    test::Settings p = loopSettings({slot(0)}, u"2");
    p.push_back({"ComboStep(9)", u"40000"});
    const OpRun r = runLoop(u"n1", p);
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kError)});
}

TEST(GenerateLoop, RefusalsAndMissingNumbers) {
    struct Case {
        Text upper;
        std::vector<SlotSetting> slots;
        FakeContext::Shown message;
        std::optional<AddSetting> add = std::nullopt;
    };
    // Numbers of 19 characters starting with 92 and 91, and one of 18 starting with 92.
    const Text nineteen92 = u"a92" + Text(16, u'0') + u"1";
    const Text nineteen91 = u"a91" + Text(17, u'0');
    const Text eighteen92 = u"a92" + Text(16, u'0');
    const std::vector<Case> cases = {
        {u"a1", {}, info(u"1回目の数値～17回目の数値いずれかにチェックを入れて下さい。")},
        {u"a1", {slot(0)}, info(kDigitOrMinus), AddSetting{u"左", u"1"}},
        {u"a1", {slot(0)}, info(kDigitOrMinus), AddSetting{u"左", u"-"}},
        {u"a1", {slot(0)}, info(kDigitOrMinus), AddSetting{u"右", u"a-b"}},
        {u"a1", {slot(0)}, info(kDigitOrMinus), AddSetting{u"右", u"\b1"}},
        {u"a1", {slot(0)}, info(u"追加する文字にバックスペースは使えません。"), AddSetting{u"左", u"x\by"}},
        {u"a\b1", {slot(0)}, info(u"上部テキストにバックスペースは使えません。")},
        {u"abc", {slot(0)}, info(u"半角数字が見つかりませんでした。")},
        {u"", {slot(0)}, info(u"半角数字が見つかりませんでした。")},
        {u"ａ１", {slot(0)}, info(u"半角数字が見つかりませんでした。")},
        {u"123", {slot(0)}, info(u"半角数字と改行以外が見つかりませんでした。")},
        {u"1\r\n2", {slot(0)}, info(u"半角数字と改行以外が見つかりませんでした。")},
        {u"1\r2\n", {slot(0)}, info(u"半角数字と改行以外が見つかりませんでした。")},
        {u"a1b2", {slot(2)}, info(u"3個目以降の半角数字は見つかりませんでした。")},
        {u"a1b2", {slot(0), slot(5)}, info(u"6個目以降の半角数字は見つかりませんでした。")},
        {u"a1", {slot(16)}, info(u"17個目以降の半角数字は見つかりませんでした。")},
        // 19 or more characters starting with 92 or more: beyond what the count can hold.
        {nineteen92, {slot(0)}, info(u"数値の最大値を超えました。")},
        {u"a99999999999999999999999999", {slot(0)}, info(u"数値の最大値を超えました。")},
        // Also when the slot's number lies behind it.
        {nineteen92 + u" b5", {slot(1)}, info(u"数値の最大値を超えました。")},
        // Before the message about a missing number.
        {u"a1" + nineteen92, {slot(3)}, info(u"数値の最大値を超えました。")},
        {u"a1 b2", {slot(0), slot(4)}, info(u"5個目以降の半角数字は見つかりませんでした。")},
        // 19 digits starting with 91, or fewer digits, reach the currency range instead.
        {nineteen91, {slot(0)}, exclamation(kError)},
        {eighteen92, {slot(0)}, exclamation(kError)},
        {u"a9999999999999999", {slot(0)}, exclamation(kError)},
        {u"a-9999999999999999", {slot(0)}, exclamation(kError)},
        {u"a-92" + Text(17, u'0'), {slot(0)}, exclamation(kError)},
        {u"a1" + Text(400, u'0'), {slot(0)}, exclamation(kError)},
    };
    for (const Case& c : cases) {
        const OpRun r = runLoop(c.upper, loopSettings(c.slots, u"3", c.add));
        EXPECT_EQ(r.out, std::nullopt) << show(c.upper);
        EXPECT_EQ(r.ctx.shown, std::vector{c.message})
            << show(c.upper) << " / " << show(r.ctx.shown.at(0).text);
    }
    // A number beyond the last ticked one is not read.
    EXPECT_EQ(runLoop(u"y5 " + nineteen92, loopSettings({slot(0)}, u"2")).out,
              u"y5 " + nineteen92 + u"\r\ny6 " + nineteen92);
    // A number with an inner "-" counts its whole length.
    const OpRun joined = runLoop(u"a92" + Text(16, u'0') + u"-1", loopSettings({slot(0)}, u"2"));
    EXPECT_EQ(joined.ctx.shown, (std::vector{question(kMinusQuestion), info(u"数値の最大値を超えました。")}));
    EXPECT_EQ(runLoop(u"y5 b6", loopSettings({slot(0), padded(1, u"00")}, u"1")).out, Text(u"y5 b06"));
}

TEST(GenerateLoop, CurrencyRangeBoundary) {
    expectOutputs({
        {u"n922337203685477", {slot(0)}, u"1", u"n922337203685477"},
        {u"n922337203685477", {down(0)}, u"2", u"n922337203685477\r\nn922337203685476"},
        {u"n-922337203685477", {slot(0)}, u"2", u"n-922337203685477\r\nn-922337203685476"},
        {u"n922337203685470",
         {slot(0, u"インクリメント", u"7")},
         u"2",
         u"n922337203685470\r\nn922337203685477"},
        {u"n-922337203685470", {down(0, u"7")}, u"2", u"n-922337203685470\r\nn-922337203685477"},
    });
    struct Case {
        Text upper;
        SlotSetting slotSetting;
        Text loops;
    };
    const Case overflows[] = {
        {u"n922337203685478", slot(0), u"1"},
        {u"n-922337203685478", slot(0), u"1"},
        {u"n922337203685477", slot(0), u"2"},
        {u"n-922337203685477", down(0), u"2"},
        {u"n922337203685470", slot(0, u"インクリメント", u"8"), u"2"},
        // Reached only after many copies: refused before any of them is built.
        {u"n922337203600000", slot(0, u"インクリメント", u"999"), u"1000000"},
    };
    for (const Case& c : overflows) {
        const OpRun r = runLoop(c.upper, loopSettings({c.slotSetting}, c.loops));
        EXPECT_EQ(r.out, std::nullopt) << show(c.upper);
        EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kError)}) << show(c.upper);
    }
}

TEST(GenerateLoop, QuestionsAboutTheAddString) {
    struct Case {
        Text add;
        Text question;
        Text out;
    };
    const Case cases[] = {
        {u" ", u"追加する文字が半角スペースですがよろしいですか？", u"a 1\r\na 2"},
        {u"\u3000", u"追加する文字が全角スペースですがよろしいですか？", u"a\u30001\r\na\u30002"},
        {u"\t", u"追加する文字がタブですがよろしいですか？", u"a\t1\r\na\t2"},
        {u"\r\n", u"追加する文字が改行(CrLf)ですがよろしいですか？", u"a\r\n1\r\na\r\n2"},
        {u"\n", u"追加する文字が改行のラインフィード(Lf)ですがよろしいですか？", u"a\r\n1\r\na\r\n2"},
        {u"\r", u"追加する文字が改行のキャリッジリターン(Cr)ですがよろしいですか？", u"a\r\n1\r\na\r\n2"},
    };
    for (const Case& c : cases) {
        const test::Settings p = loopSettings({slot(0)}, u"2", AddSetting{u"左", c.add});
        const OpRun yes = runLoop(u"a1", p);
        EXPECT_EQ(show(yes.out), show(c.out));
        EXPECT_EQ(yes.ctx.shown, std::vector{question(c.question)});
        for (Answer a : {Answer::No, Answer::Cancel}) {
            const OpRun r = runLoop(u"a1", p, test::answering({a}));
            EXPECT_EQ(r.out, std::nullopt);
            EXPECT_EQ(r.ctx.shown, std::vector{question(c.question)});
        }
    }
    // Two spaces are no single special character.
    const OpRun r = runLoop(u"a1", loopSettings({slot(0)}, u"1", AddSetting{u"左", u"  "}));
    EXPECT_EQ(r.out, Text(u"a  1"));
    EXPECT_TRUE(r.ctx.shown.empty());
}

TEST(GenerateLoop, MinusBetweenDigitsQuestion) {
    const test::Settings p = loopSettings({slot(0)}, u"2");
    const OpRun yes = runLoop(u"5-3x", p);
    EXPECT_EQ(yes.out, Text(u"5x\r\n6x"));
    EXPECT_EQ(yes.ctx.shown, std::vector{question(kMinusQuestion)});
    for (Answer a : {Answer::No, Answer::Cancel}) {
        const OpRun r = runLoop(u"5-3x", p, test::answering({a}));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{question(kMinusQuestion)});
    }
    // Anywhere in the template, also where no slot acts.
    EXPECT_EQ(runLoop(u"a1 b2-3", p).ctx.shown, std::vector{question(kMinusQuestion)});
    for (TextView none : {TextView(u"a-1"), TextView(u"1-a"), TextView(u"1--2a"), TextView(u"1 -2")})
        EXPECT_TRUE(runLoop(none, p).ctx.shown.empty()) << show(none);
}

TEST(GenerateLoop, LeadingZeroQuestion) {
    struct Case {
        Text upper;
        std::vector<SlotSetting> slots;
        bool asks;
    };
    const std::vector<Case> cases = {
        {u"a01", {slot(0)}, true},
        {u"a007", {slot(0)}, true},
        {u"a-05", {slot(0)}, true},
        {u"05a", {slot(0)}, true},
        {u"a10 b01", {slot(1)}, true},
        {u"a1001 b01", {slot(1)}, true},
        {u"a0", {slot(0)}, false},
        {u"a00", {slot(0)}, false},
        {u"a10", {slot(0)}, false},
        {u"a100", {slot(0)}, false},
        {u"a105", {slot(0)}, false},
        {u"a1005", {slot(0)}, false},
        // A padded slot keeps its zeros: nothing to ask.
        {u"a01", {padded(0, u"00")}, false},
        {u"a007", {padded(0, kSixteenZeros)}, false},
        // Only numbers that a slot counts matter.
        {u"a01 b5", {slot(1)}, false},
        {u"a5 b01", {slot(0), padded(1, u"00")}, false},
        {u"a5 b01", {padded(0, u"00"), slot(1)}, true},
    };
    for (const Case& c : cases) {
        const OpRun r = runLoop(c.upper, loopSettings(c.slots, u"2"));
        EXPECT_EQ(r.ctx.shown,
                  c.asks ? std::vector{question(kLeadingZeroQuestion)} : std::vector<FakeContext::Shown>{})
            << show(c.upper);
        EXPECT_TRUE(r.out.has_value()) << show(c.upper);
    }
    EXPECT_EQ(runLoop(u"a01", loopSettings({slot(0)}, u"2")).out, Text(u"a1\r\na2"));
    for (Answer a : {Answer::No, Answer::Cancel}) {
        EXPECT_EQ(runLoop(u"a01", loopSettings({slot(0)}, u"2"), test::answering({a})).out, std::nullopt);
    }
}

TEST(GenerateLoop, QuestionsComeInOrderAndEachGoesOnOnlyOnYes) {
    const test::Settings p = loopSettings({slot(0)}, u"2", AddSetting{u"左", u" "});
    const std::vector<FakeContext::Shown> all = {
        question(u"追加する文字が半角スペースですがよろしいですか？"), question(kMinusQuestion),
        question(kLeadingZeroQuestion)};
    const OpRun yes = runLoop(u"a01-3", p);
    EXPECT_EQ(yes.out, Text(u"a 1\r\na 2"));
    EXPECT_EQ(yes.ctx.shown, all);
    for (std::size_t declined = 0; declined < all.size(); ++declined) {
        std::deque<Answer> answers(declined, Answer::Yes);
        answers.push_back(Answer::No);
        const OpRun r = runLoop(u"a01-3", p, test::answering(answers));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown,
                  std::vector(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(declined) + 1));
    }
}

TEST(GenerateLoop, ClosingShowsNothingAndEndsAtTheFirstQuestion) {
    struct Case {
        Text upper;
        std::vector<SlotSetting> slots;
        std::optional<AddSetting> add = std::nullopt;
    };
    const std::vector<Case> cases = {
        {u"a1", {}},
        {u"abc", {slot(0)}},
        {u"5-3x", {slot(0)}},
        {u"a01", {slot(0)}},
        {u"a1", {slot(0)}, AddSetting{u"左", u" "}},
        {u"a9999999999999999", {slot(0)}},
        {u"a1", {slot(0)}},
    };
    for (const Case& c : cases) {
        const OpRun r = runLoop(c.upper, loopSettings(c.slots, u"2", c.add), test::closingContext());
        EXPECT_EQ(r.out, std::nullopt) << show(c.upper);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.upper);
    }
}

TEST(GenerateLoop, StopEndsWithoutOutputOrMessage) {
    const test::Settings p = loopSettings({slot(0), slot(1)}, u"10000000");
    for (int polls : {0, 1, 3, 10, 1000}) {
        const OpRun r = runLoop(u"a1b2", p, test::stoppingAfter(polls));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_TRUE(r.ctx.shown.empty());
        // It ends at the first poll after Stop: once per copy at least.
        EXPECT_EQ(r.ctx.polls, polls + 1);
    }
    // Stopped while the add string is examined.
    const OpRun r =
        runLoop(u"a1", loopSettings({slot(0)}, u"2", AddSetting{u"左", u"1"}), test::stoppingAfter(0));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

TEST(GenerateLoop, ValuesOnlyTheCommandLineCanSendAreRunTimeErrors) {
    struct Case {
        std::string control;
        Text value;
    };
    const Case cases[] = {
        {"Text6", u"0"},
        {"Text6", u"abc"},
        {"Text6", u"5a"},
        {"Text6", u"-1"},
        {"Text6", u"1.5"},
        {"Text6", u"12345678901"},
        {"Text6", u" 5"},
        {"ComboStep(0)", u"0"},
        {"ComboStep(0)", u""},
        {"ComboStep(0)", u"-1"},
        {"ComboStep(0)", u"9999"},
        {"ComboStep(3)", u"abc"},
        {"ComboStep(0)", u"40000"},
        {"ComboStep(0)", u"1e999"},
        {"ComboFm(0)", u""},
        {"ComboFm(0)", u"abc"},
        {"ComboFm(0)", u"00x"},
        {"ComboFm(0)", Text(17, u'0')},
        {"Text30", Text(65535, u'a')},
    };
    for (const Case& c : cases) {
        test::Settings p = loopSettings({slot(0)}, u"2", AddSetting{u"左", u"#"});
        p.push_back({c.control, c.value});
        const OpRun r = runLoop(u"a1", p);
        EXPECT_EQ(r.out, std::nullopt) << c.control << "=" << show(c.value);
        EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kError)}) << c.control << "=" << show(c.value);
    }
    // The longest add string and a ten-digit count are within the rules.
    test::Settings p = loopSettings({slot(0)}, u"1", AddSetting{u"左", Text(65534, u'a')});
    EXPECT_EQ(runLoop(u"a1", p).out, u"a" + Text(65534, u'a') + u"1");
    EXPECT_EQ(runLoop(u"a1", loopSettings({slot(0)}, u"0000000002")).out, Text(u"a1\r\na2"));
}

TEST(GenerateLoop, AResultBeyondTheLimitIsRefusedBeforeItIsBuilt) {
    // 9999999999 copies of at least four characters, or 6000000 of 100.
    for (const auto& [upper, loops] :
         {std::pair{Text(u"a1"), Text(u"9999999999")}, std::pair{Text(96, u'x') + u"1", Text(u"6000000")}}) {
        const OpRun r = runLoop(upper, loopSettings({slot(0)}, loops));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kError)});
        EXPECT_LT(r.ctx.polls, 200);
    }
}

TEST(GenerateLoop, TheResultIsSizedExactlyBeforeItIsBuilt) {
    // Numbers that change their digit count and sign over the run; too short a size would grow
    // the buffer (and its capacity) on the way, too long a one would leave slack.
    struct Case {
        Text upper;
        std::vector<SlotSetting> slots;
        Text loops;
    };
    const Case cases[] = {
        {u"v-1000", {slot(0, u"インクリメント", u"7", u"00")}, u"400"},
        {u"v5 w9\r\n", {down(0, u"3", u"000"), slot(1, u"インクリメント", u"999")}, u"5000"},
        {u"v0", {slot(0, u"インクリメント", u"1e-9")}, u"300"},
        {u"v-922337203685477 w1",
         {slot(0, u"インクリメント", u"32767"), down(1, u"32767", kSixteenZeros)},
         u"3000"},
    };
    for (const Case& c : cases) {
        const OpRun r = runLoop(c.upper, loopSettings(c.slots, c.loops));
        ASSERT_TRUE(r.out.has_value()) << show(c.upper);
        EXPECT_LE(r.out->capacity() - r.out->size(), 2u) << show(c.upper);
    }
}

TEST(GenerateLoop, ChangesNoControl) {
    const OpRun r = runLoop(u"a1", loopSettings({slot(0)}, u"2", AddSetting{u"左", u"#"}));
    EXPECT_TRUE(r.changed.empty());
}

}  // namespace
}  // namespace kivo::loop_test
