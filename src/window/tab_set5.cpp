#include <QComboBox>
#include <QRadioButton>

#include "window/control_model.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/tab_tables.h"

namespace kivo::window {
namespace {

constexpr const char* kListCombos[] = {"Combo59", "Combo60", "Combo61", "Combo62", "Combo63", "Combo64"};

void attachRules(TabPage& tab) {
    for (const char* name : kListCombos)
        new ListOnlyComboRule(tab.named<QComboBox>(name), tab.state(),
                              toQString(comboList(name).defaultText));
    new NumericComboRule(tab.named<QComboBox>("Combo65"), tab.state());
}

void attachAllReset(TabPage& tab) {
    tab.onAllReset([&tab] {
        tab.restoreDefaults({"Combo59", "Check5(0)", "Check5(1)", "Check5(2)", "Check5(3)", "Check5(4)",
                             "Combo60", "Combo61", "Combo62", "Combo63", "Combo64", "Combo65", "Check5(5)"});
        auto* first = tab.named<QRadioButton>("Option5(0)");
        first->setChecked(true);
        first->setFocus();
    });
}

OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector), .pieces = std::move(pieces)};
}

}  // namespace

TabTable set5Table() {
    return {
        .frameName = QStringLiteral("Frame5"),
        .frameCaption = QStringLiteral("条件5"),
        .firstCode = 35,
        .noSelectionMessage = kChooseOperation,
        .lines =
            {
                line("Option5(0)", {combo("Combo59"), words("に変換する(&E)")}),
                // The classes on a line of their own, as the filter's condition is on tab 0.
                {.pieces = {label("Label24", "対象："), check("Check5(0)", "英字"),
                            check("Check5(1)", "数字"), check("Check5(2)", "記号"),
                            check("Check5(3)", "カタカナ"), check("Check5(4)", "スペース"),
                            reset("Command34", {"Combo59", "Check5(0)", "Check5(1)", "Check5(2)", "Check5(3)",
                                                "Check5(4)"})}},
                line("Option5(1)",
                     {combo("Combo60"), words("に変換する(&F)"), reset("Command35", {"Combo60"})}),
                line("Option5(2)",
                     {words("重複する行を(&G)"), combo("Combo61"), reset("Command36", {"Combo61"})}),
                line("Option5(3)",
                     {words("空白と空行を(&H)"), combo("Combo62"), reset("Command37", {"Combo62"})}),
                line("Option5(4)",
                     {words("数値の大きさ順に行を(&I)"), combo("Combo63"), reset("Command38", {"Combo63"})}),
                line("Option5(5)", {words("Shift-JISで表せない文字を(&J)"), combo("Combo64"),
                                    reset("Command39", {"Combo64"})}),
                line("Option5(6)",
                     {words("1行を"), combo("Combo65"),
                      words("バイト以内毎に改行する(全角文字は分けない)(&K)"), check("Check5(5)", "禁則処理"),
                      reset("Command40", {"Combo65", "Check5(5)"})}),
            },
        .allReset = button("Command41", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
