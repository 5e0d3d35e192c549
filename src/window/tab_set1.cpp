#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/reverse_rules.h"
#include "window/rules.h"
#include "window/set1_rules.h"
#include "window/tab_tables.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

void attachRules(TabPage& tab) {
    WindowState& state = tab.state();
    new ReverseRules(tab.named<QComboBox>("Combo41"), tab.named<QComboBox>("Combo42"), state);
    new ListOnlyComboRule(tab.named<QComboBox>("Combo39"), state, QStringLiteral("改行をカウントしない"));
    new SpecialCharacterComboRule(tab.named<QComboBox>("Combo40"), state, QStringLiteral("改行(CrLf)"));
    new ListOnlyComboRule(tab.named<QComboBox>("Combo19"), state, QStringLiteral("半角英小文字「a～z」"));
    new ListOnlyComboRule(tab.named<QComboBox>("Combo34"), state, QStringLiteral("半角"));
    new ListOnlyComboRule(tab.named<QComboBox>("Combo33"), state, QStringLiteral("左側"));
    new ListOnlyComboRule(tab.named<QComboBox>("Combo47"), state,
                          QStringLiteral("次の文字を含む行を抜き出す"));
    for (const char* side : {"Combo31", "Combo32", "Combo2"})
        new SideComboRule(tab.named<QComboBox>(side), state);
    new NumericComboRule(tab.named<QComboBox>("Combo1"), state);
    for (const char* name : {"Text26", "Text3", "Text4", "Text5", "Text8"})
        new TextLengthRule(tab.named<PlainTextBox>(name), state);
    for (const char* name : {"Text7", "Text13"})
        new TextLengthRule(tab.named<QLineEdit>(name), state);
}

void attachAllReset(TabPage& tab) {
    tab.onAllReset([&tab] {
        tab.restoreDefaults({"Combo41", "Combo42", "Combo39", "Combo40", "Text26", "Combo19", "Combo31",
                             "Text3", "Combo34", "Text4", "Combo32", "Combo1", "Text5", "Combo2", "Text7",
                             "Combo33", "Text8", "Combo47", "Text13"});
        auto* reverse = tab.named<QRadioButton>("Option1(0)");
        reverse->setChecked(true);
        reverse->setFocus(Qt::OtherFocusReason);
    });
}

// An option of this tab is chosen by a click, not by getting the focus (tabbing onto one leaves
// the choice as it is); the focus only clears the flag.
OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector).with(Touch::ClearCycling), .pieces = std::move(pieces)};
}

}  // namespace

TabTable set1Table() {
    // The small boxes beside the operations without parameters only select; they leave the
    // focus-cycling flag as it is, and so does the interval label.
    const Touch selectOnly = Touch::SelectOnly;
    return {
        .frameName = QStringLiteral("Frame1"),
        .frameCaption = QStringLiteral("条件1"),
        .firstCode = 0,
        .noSelectionMessage = kChooseOperation,
        .lines =
            {
                line("Option1(0)", {words("リバース(&E)"), combo("Combo41"),
                                    label("Label11", "行間隔：").with(selectOnly), combo("Combo42")}),
                line("Option1(1)", {words("文字数をカウント(&F)"), combo("Combo39", 380)}),
                line("Option1(2)", {words("特殊文字を次の文字に置換(&G)"), combo("Combo40"),
                                    multiLineBox("Text26", 120), reset("Command26", {"Combo40", "Text26"})}),
                line("Option1(3)", {combo("Combo19"), words("の数をカウントする(&H)")}),
                line("Option1(4)", {combo("Combo31"), words("に次の文字を追加する(&I)"),
                                    multiLineBox("Text3", 160), reset("Command4", {"Combo31", "Text3"})}),
                line("Option1(5)", {combo("Combo34"), words("数字を"), multiLineBox("Text4", 150),
                                    words("に置き換(&J)"), reset("Command7", {"Combo34", "Text4"})}),
                line("Option1(6)", {combo("Combo32"), words("から"), combo("Combo1"),
                                    words("文字を次の文字に置き換える(&K)"), multiLineBox("Text5", 110),
                                    reset("Command8", {"Combo32", "Combo1", "Text5"})}),
                line("Option1(7)",
                     {combo("Combo2"), words("から見つけた"), textBox("Text7", 80), words("の"),
                      combo("Combo33"), words("を次の文字に置換(&L)"), multiLineBox("Text8", 70),
                      reset("Command9", {"Combo2", "Text7", "Combo33"}), reset("Command5", {"Text8"})}),
                line("Option1(8)", {words("数字だけを抜き出す(&M)"), textBox("Text35", 14).with(selectOnly)}),
                line("Option1(9)",
                     {words("ダブルバイト文字だけを抜き出す(&N)"), textBox("Text36", 14).with(selectOnly)}),
                line("Option1(10)",
                     {words("半角文字だけを抜き出す(&O)"), textBox("Text37", 14).with(selectOnly)}),
                line("Option1(11)", {words("複数行の1行毎に左側にTab文字を1つ追加する(&P)"),
                                     textBox("Text9", 14).with(selectOnly)}),
                line("Option1(12)", {words("複数行から次の条件を満たす行を抜き出す(&Q)")}),
                {.pieces = {combo("Combo47"), textBox("Text13", 200),
                            reset("Command19", {"Combo47", "Text13"})}},
            },
        .allReset = button("Command13", "AllReset(&X)", 90),
        .underAllReset = textBox("Text39", 14).with(Touch::Nothing),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
