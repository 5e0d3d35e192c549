#include "ops/operation.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/registry.h"
#include "text/errors.h"

namespace kivo {
namespace {

TEST(Lists, CountsAcceptOnlyWhatTheRuleAllows) {
    EXPECT_EQ(countFrom(u"1", 1, 999), 1);
    EXPECT_EQ(countFrom(u"999", 1, 999), 999);
    EXPECT_EQ(countFrom(u"012", 1, 999), 12);
    // The rules of the combos starting at 0 keep any run of zeros.
    EXPECT_EQ(countFrom(u"0000000000", 0, 999), 0);
    EXPECT_EQ(countFrom(u"0000000000999", 0, 999), 999);
    for (TextView bad : {TextView(u"0"), TextView(u"1000"), TextView(u""), TextView(u"1a"), TextView(u" 1"),
                         TextView(u"-1"), TextView(u"１"), TextView(u"99999999999999999999")})
        EXPECT_THROW(countFrom(bad, 1, 999), RunTimeError) << test::show(bad);
}

TEST(Captions, ASpokenCaptionNamesItsBlanksAndDropsTheAccessKey) {
    EXPECT_EQ(spokenCaption(u"…に次の文字を追加する(&I)", {u"追加する側"}),
              u"（追加する側）に次の文字を追加する");
    EXPECT_EQ(
        spokenCaption(u"行毎に……～…を…に置換", {u"探す方向", u"開始文字", u"終了文字", u"置換後の文字"}),
        u"行毎に（探す方向）（開始文字）～（終了文字）を（置換後の文字）に置換");
    // A check box's blank: its own caption follows it.
    EXPECT_EQ(spokenCaption(u"日付を…の形式に変換する　…曜日を付ける", {u"日付の形式", u""}),
              u"日付を（日付の形式）の形式に変換する　曜日を付ける");
    // Blanks beyond the words given stay as they are; a caption without blanks is only trimmed.
    EXPECT_EQ(spokenCaption(u"…を…する", {u"単位"}), u"（単位）を…する");
    EXPECT_EQ(spokenCaption(u"リバース(&E) ", {}), u"リバース");
    EXPECT_EQ(spokenCaption(u"(&", {}), u"(&");
}

// A new operation or parameter without its words would leave a control a screen reader cannot name.
TEST(Captions, EveryOperationAndParameterSaysWhatItIsInJapaneseAndEnglish) {
    for (const OperationDeclaration* op : operations()) {
        EXPECT_FALSE(op->description.empty()) << op->name;
        EXPECT_TRUE(op->japaneseDescription.ends_with(u"。")) << op->name;
        EXPECT_EQ(op->japaneseDescription.find(u'<'), Text::npos) << op->name;
        for (const ParamDeclaration& p : op->params) {
            EXPECT_FALSE(p.purpose.empty()) << op->name << " " << p.option;
            EXPECT_FALSE(p.englishPurpose.empty()) << op->name << " " << p.option;
        }
    }
}

}  // namespace
}  // namespace kivo
