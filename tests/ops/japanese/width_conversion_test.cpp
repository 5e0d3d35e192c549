#include "ops/japanese/width_conversion.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kToHalf = u"全角→半角";
constexpr TextView kToFull = u"半角→全角";

// The classes in the order of their boxes: 英字, 数字, 記号, カタカナ, スペース.
OpRun convert(TextView upper, TextView direction, const char* classes = "11111") {
    Settings settings = {{"Combo59", Text(direction)}};
    for (int i = 0; i < 5; ++i)
        settings.push_back({arrayName("Check5", i), classes[i] == '1' ? u"1" : u"0"});
    return run(kConvertWidth, upper, settings);
}

TEST(ConvertWidth, ConvertsTheTickedClassesBothWays) {
    const struct {
        TextView upper, direction;
        const char* classes;
        TextView out;
    } rows[] = {
        {u"ＡＢＣ ｘｙｚ　０１９！＃～＼", kToHalf, "11111", u"ABC xyz 019!#~\\"},
        {u"ABC xyz 019!#~\\", kToFull, "11111", u"ＡＢＣ　ｘｙｚ　０１９！＃～＼"},
        {u"Ａ１！　", kToHalf, "10000", u"A１！　"},
        {u"Ａ１！　", kToHalf, "01000", u"Ａ1！　"},
        {u"Ａ１！　", kToHalf, "00100", u"Ａ１!　"},
        {u"Ａ１！　", kToHalf, "00010", u"Ａ１！　"},
        {u"Ａ１！　", kToHalf, "00001", u"Ａ１！ "},
        {u"a1! ", kToFull, "10000", u"ａ1! "},
        {u"a1! ", kToFull, "00100", u"a1！ "},
        // Katakana and the punctuation that has half-width forms; voiced letters take two.
        {u"「テスト」、ガパヴ。・ー゛゜", kToHalf, "00010", u"｢ﾃｽﾄ｣､ｶﾞﾊﾟｳﾞ｡･ｰﾞﾟ"},
        {u"ァィゥェォャュョッヲン", kToHalf, "00010", u"ｧｨｩｪｫｬｭｮｯｦﾝ"},
        // Letters without a half-width form stay.
        {u"ヮヰヱヵヶヷヸヹヺヽヾ", kToHalf, "11111", u"ヮヰヱヵヶヷヸヹヺヽヾ"},
        // Hiragana, kanji, other symbols and line breaks are kept.
        {u"ひら\r\n漢字“”￥\n", kToHalf, "11111", u"ひら\r\n漢字“”￥\n"},
        // To full width a mark after a letter that has a composed form joins it.
        {u"ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾜﾞｦﾞ", kToFull, "00010", u"ガギパピヴヷヺ"},
        {u"ｱﾞﾏﾟﾞﾟ", kToFull, "00010", u"ア゛マ゜゛゜"},
        {u"｢ﾃｽﾄ｣､｡･ｰ", kToFull, "00010", u"「テスト」、。・ー"},
        {u"ﾃｽﾄ", kToFull, "11101", u"ﾃｽﾄ"},
        // Nothing to convert: the text is written as it is.
        {u"漢字", kToFull, "11111", u"漢字"},
    };
    for (const auto& row : rows) {
        const OpRun r = convert(row.upper, row.direction, row.classes);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper) << " " << row.classes;
        EXPECT_TRUE(r.ctx.shown.empty());
    }
}

TEST(ConvertWidth, NoBoxTickedRunsNothing) {
    const OpRun r = convert(u"ＡＢＣ", kToHalf, "00000");
    EXPECT_EQ(r.end, DispatchEnd::PreCheckFailed);
    EXPECT_EQ(r.ctx.shown, std::vector{info(u"変換する対象を選択して下さい。")});
    // A box that is neither ticked nor clear is no refusal: it is the run's error.
    const OpRun odd = run(kConvertWidth, u"ＡＢＣ",
                          {{"Check5(0)", u"2"},
                           {"Check5(1)", u"0"},
                           {"Check5(2)", u"0"},
                           {"Check5(3)", u"0"},
                           {"Check5(4)", u"0"}});
    EXPECT_EQ(odd.ctx.shown, std::vector{exclamation(kGeneralError)});
}

}  // namespace
}  // namespace kivo
