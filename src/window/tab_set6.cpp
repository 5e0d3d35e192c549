#include <QComboBox>
#include <QRadioButton>

#include "window/control_model.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/tab_tables.h"

namespace kivo::window {
namespace {

constexpr const char* kListCombos[] = {"Combo66", "Combo68", "Combo69", "Combo70", "Combo71"};

void attachRules(TabPage& tab) {
    for (const char* name : kListCombos)
        new ListOnlyComboRule(tab.named<QComboBox>(name), tab.state(),
                              toQString(comboList(name).defaultText));
    new NumericComboRule(tab.named<QComboBox>("Combo67"), tab.state());
}

void attachAllReset(TabPage& tab) {
    tab.onAllReset([&tab] {
        tab.restoreDefaults({"Combo66", "Check6(0)", "DTPicker4", "Combo67", "Combo68", "Combo69",
                             "Check6(1)", "Check6(2)", "Check6(3)", "Combo70", "Combo71"});
        auto* first = tab.named<QRadioButton>("Option6(0)");
        first->setChecked(true);
        first->setFocus();
    });
}

OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector), .pieces = std::move(pieces)};
}

}  // namespace

TabTable set6Table() {
    return {
        .frameName = QStringLiteral("Frame6"),
        .frameCaption = QStringLiteral("条件6"),
        .firstCode = 42,
        .noSelectionMessage = kChooseOperation,
        .lines =
            {
                line("Option6(0)",
                     {words("日付を(&E)"), combo("Combo66"), words("の形式に変換する"),
                      check("Check6(0)", "曜日を付ける"), reset("Command43", {"Combo66", "Check6(0)"})}),
                line("Option6(1)",
                     {words("営業日を列挙する(&F)"), label("Label25", "開始日："), datePicker("DTPicker4"),
                      label("Label26", "から"), combo("Combo67"), combo("Combo68"),
                      reset("Command44", {"DTPicker4", "Combo67", "Combo68", "Combo69", "Check6(1)",
                                          "Check6(2)", "Check6(3)"})}),
                // The output's form on a line of its own, as the width conversion's classes are.
                {.pieces = {label("Label27", "形式："), combo("Combo69"), check("Check6(1)", "曜日を付ける"),
                            check("Check6(2)", "12/29～1/3を休む"), check("Check6(3)", "祝日も表示")}},
                line("Option6(2)", {words("機種依存文字(丸数字・ローマ数字・㈱・髙など)を(&G)"),
                                    combo("Combo70"), reset("Command45", {"Combo70"})}),
                line("Option6(3)", {words("漢数字と数字を(&H)"), combo("Combo71"), words("に変換する"),
                                    reset("Command46", {"Combo71"})}),
                // The rule that keeps words such as 一人 as they are, where the user reads it.
                {.pieces = {label("Label28", "(一人・一部のように漢数字1文字だけの語は変換しない)")}},
            },
        .allReset = button("Command47", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
