#include "window/control_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "ops/registry.h"

namespace kivo::window {
namespace {

TEST(Lists, CountedListsAndDefaults) {
    struct Case {
        const char* name;
        std::size_t size;
        TextView first, last, def;
    };
    const Case cases[] = {
        {"Combo1", 999, u"1", u"999", u"1"},
        {"Combo21", 1000, u"0", u"999", u"0"},
        {"Combo42", 1000, u"0", u"999", u"0"},
        {"Combo49", 1000, u"0", u"999", u"1"},
        {"Combo45", 999, u"すべて1", u"すべて999", u"すべて1"},
        {"Combo46", 16, u"すべて0", u"すべて0000000000000000", u"すべて0"},
        {"Combo25", 16, u"0", u"0000000000000000", u"000"},
        {"Combo36", 16, u"0", u"0000000000000000", u"000"},
        {"ComboFm(16)", 16, u"0", u"0000000000000000", u"0"},
        {"ComboStep(0)", 999, u"1", u"999", u"1"},
        {"ComboId(7)", 2, u"インクリメント", u"デクリメント", u"インクリメント"},
        {"Combo56", 100, u"1", u"100", u"1"},
        {"Combo57", 100, u"1", u"100", u"1"},
        {"Combo16", 2, u"左", u"右", u"左"},
        {"Combo17", 2, u"左", u"右", u"左"},
        {"Combo33", 2, u"左側", u"右側", u"左側"},
        {"Combo54", 7, u"日", u"土", u"日"},
        {"Combo53", 17, u"「/」 スラッシュ(yyyy/mm/dd)", u"「@」 アットマーク(yyyy@mm@dd)",
         u"「/」 スラッシュ(yyyy/mm/dd)"},
        {"Combo41", 2, u"全文リバースする", u"数行おきにリバースする", u"全文リバースする"},
    };
    for (const Case& c : cases) {
        const ComboList& list = comboList(c.name);
        ASSERT_EQ(list.entries.size(), c.size) << c.name;
        EXPECT_EQ(list.entries.front(), c.first) << c.name;
        EXPECT_EQ(list.entries.back(), c.last) << c.name;
        EXPECT_EQ(list.defaultText, c.def) << c.name;
    }
}

TEST(Lists, LoadOrderPutsCombo30BeforeCombo28AndCombo49BeforeCombo48) {
    std::vector<std::string> names;
    for (const ComboList& l : comboLists())
        names.push_back(l.name);
    auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(at("Combo27"), at("Combo30"));
    EXPECT_LT(at("Combo30"), at("Combo29"));
    EXPECT_LT(at("Combo29"), at("Combo28"));
    EXPECT_LT(at("Combo43"), at("ComboId(0)"));
    EXPECT_LT(at("ComboFm(16)"), at("Combo44"));
    EXPECT_LT(at("Combo49"), at("Combo48"));
    EXPECT_LT(at("Combo58"), at("Combo59"));
    // Every declared combo once, and the loop generator's three editing aids.
    std::set<std::string> declared;
    for (const OperationDeclaration* op : operations())
        for (const ParamDeclaration& p : op->params)
            if (p.control.starts_with("Combo")) declared.insert(p.control);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_EQ(names.size(), declared.size() + 3);
    // The start-up gives three boxes their defaults again, through their rules, between two combos.
    std::vector<std::string> steps;
    for (const LoadStep& step : loadSteps())
        steps.push_back(step.list ? step.list->name : step.textBox);
    const auto combo53 = std::find(steps.begin(), steps.end(), "Combo53");
    ASSERT_LT(std::distance(steps.begin(), combo53) + 4, std::ssize(steps));
    EXPECT_EQ(std::vector<std::string>(combo53 + 1, combo53 + 5),
              (std::vector<std::string>{"Text11", "Text38", "Text41", "Combo54"}));
}

TEST(Lists, ParameterDefaults) {
    const ControlTexts p = ControlTexts::defaults(Date{2026, 12, 8});
    EXPECT_EQ(p.text("Text6"), u"5");
    EXPECT_EQ(p.text("Text11"), u"2");
    EXPECT_EQ(p.text("Text41"), u"10");
    EXPECT_EQ(p.text("Text3"), u"");
    EXPECT_TRUE(p.ticked("Check3"));
    EXPECT_FALSE(p.ticked("Check1(0)"));
    EXPECT_FALSE(p.ticked("chkYoubi"));
    EXPECT_EQ(p.text("DTPicker2"), u"2026/12/08");
    EXPECT_TRUE(ControlTexts::isControl("ComboStep(16)"));
    EXPECT_FALSE(ControlTexts::isControl("ComboStep(17)"));
    EXPECT_FALSE(ControlTexts::isControl("Text1"));
}

}  // namespace
}  // namespace kivo::window
