#include <QComboBox>
#include <QLineEdit>

#include "window/controls.h"
#include "window/operation_lines.h"
#include "window/qtext.h"
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
    new SpecialCharacterComboRule(tab.named<QComboBox>("Combo40"), state, toQString(loadDefault("Combo40")));
    for (const char* name : {"Combo39", "Combo19", "Combo34", "Combo33", "Combo47"})
        new ListOnlyComboRule(tab.named<QComboBox>(name), state);
    for (const char* side : {"Combo31", "Combo32", "Combo2"})
        new SideComboRule(tab.named<QComboBox>(side), state);
    new NumericComboRule(tab.named<QComboBox>("Combo1"), state);
    for (const char* name : {"Text26", "Text3", "Text4", "Text5", "Text8"})
        new TextLengthRule(tab.named<PlainTextBox>(name), state);
    for (const char* name : {"Text7", "Text13"})
        new TextLengthRule(tab.named<QLineEdit>(name), state);
}

}  // namespace

TabTable set1Table() {
    // The small boxes beside the operations without parameters only select; they leave the
    // focus-cycling flag as it is, and so does the interval label.
    const Touch selectOnly = Touch::SelectOnly;
    const std::vector<LineLayout> layouts = {
        {"Option1(0)", {param("Combo41"), label("Label11", "行間隔：").with(selectOnly), param("Combo42")}},
        {"Option1(1)", {param("Combo39", 380)}},
        {"Option1(2)", {param("Combo40"), param("Text26", 120), reset("Command26")}},
        {"Option1(4)", {param("Combo31"), param("Text3", 160), reset("Command4")}},
        {"Option1(5)", {param("Combo34"), param("Text4", 150), reset("Command7")}},
        {"Option1(6)", {param("Combo32"), param("Combo1"), param("Text5", 110), reset("Command8")}},
        {"Option1(7)",
         {param("Combo2"), param("Text7", 80), param("Combo33"), param("Text8", 70),
          reset("Command9", {"Combo2", "Text7", "Combo33"}), reset("Command5", {"Text8"})}},
        {"Option1(8)", {textBox("Text35", 14).with(selectOnly)}},
        {"Option1(9)", {textBox("Text36", 14).with(selectOnly)}},
        {"Option1(10)", {textBox("Text37", 14).with(selectOnly)}},
        {"Option1(11)", {textBox("Text9", 14).with(selectOnly)}},
        {"Option1(12)", {nextLine(), param("Combo47"), param("Text13", 200), reset("Command19")}},
    };
    return {
        .frameName = QStringLiteral("Frame1"),
        .frameCaption = QStringLiteral("条件1"),
        .firstCode = firstCodeOn(Tab::Characters),
        .noSelectionMessage = kChooseOperation,
        // An option of this tab is chosen by a click, not by getting the focus (tabbing onto one
        // leaves the choice as it is); the focus only clears the flag.
        .lines = declaredLines(Tab::Characters, layouts, Touch::ClearCycling),
        .allReset = button("Command13", "AllReset(&X)", 90),
        .underAllReset = textBox("Text39", 14).with(Touch::Nothing),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                tab.restoreAllOnAllReset();
            },
    };
}

}  // namespace kivo::window
