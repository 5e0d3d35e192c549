#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "window/control_events.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/operation_lines.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/set4_rules.h"
#include "window/tab_tables.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// The running-number and copy boxes tick the loop generator whenever they change.
void tickLoopGenerator(const TabPage& tab) {
    if (!tab.controls()) return;
    if (auto* check3 = qobject_cast<QCheckBox*>(tab.controls()->control("Check3"))) check3->setChecked(true);
}

void attachRules(TabPage& tab) {
    WindowState& state = tab.state();
    // A combo whose list fixes its texts: anything else becomes the list's default.
    auto entryRule = [&tab, &state](const char* name, ComboChecks also = {}) {
        const ComboList& list = comboList(name);
        QStringList entries;
        for (const Text& entry : list.entries)
            entries.append(toQString(entry));
        new EntryComboRule(tab.named<QComboBox>(name), state, entries, toQString(list.defaultText), also);
    };
    const auto tick = [&tab] { tickLoopGenerator(tab); };
    auto numeric = [&tab, &state](const char* name, int low = 1) {
        new NumericComboRule(tab.named<QComboBox>(name), state, low);
    };
    auto count = [&tab, &state](const char* name) {
        new CountTextRule(tab.named<QLineEdit>(name), state, toQString(loadDefault(name)));
    };

    entryRule("Combo20", ComboCheck::KeyPress);

    numeric("Combo27");
    numeric("Combo26", 0);
    new SideComboRule(tab.named<QComboBox>("Combo24"), state);
    numeric("Combo21", 0);
    entryRule("Combo22");
    new DigitTextRule(tab.named<QLineEdit>("Text38"), state, repairStartValue, tick);
    numeric("Combo23");
    entryRule("Combo25");

    new SideComboRule(tab.named<QComboBox>("Combo30"), state);
    numeric("Combo29");
    entryRule("Combo28");
    new DigitTextRule(tab.named<QLineEdit>("Text41"), state, repairCopyCount, tick);
    numeric("Combo35");
    entryRule("Combo36");
    numeric("Combo37", 0);

    // Combo48 has no rule: any text other than "左" looks for the last occurrence.
    new TextLengthRule(tab.named<PlainTextBox>("Text15"), state);
    new SideComboRule(tab.named<QComboBox>("Combo50"), state);
    new TypedCountComboRule(tab.named<QComboBox>("Combo49"), state);
    new TextLengthRule(tab.named<PlainTextBox>("Text22"), state);

    entryRule("Combo52");
    entryRule("Combo51");
    count("Text23");
    count("Text24");
    entryRule("Combo53");

    // chkYoubi needs no rule of its own: the operation reads the box's ticked state at Execute.
    count("Text27");

    const ComboChecks always = ComboCheck::KeyPress | ComboCheck::Pick;
    entryRule("Combo54", always);
    count("Text28");
    entryRule("Combo57", always);

    entryRule("Combo55", always);
    count("Text29");
    entryRule("Combo56", always);
}

// A key or a mouse button pressed on an option (its caption's words included) sets the three
// date pickers to today, under the guard.
void attachDatePickerReset(TabPage& tab) {
    auto resetDatePickers = [&tab] {
        if (tab.state().guard) return;
        GuardHold hold(tab.state());
        tab.restoreDefaults({"DTPicker1", "DTPicker2", "DTPicker3"});
    };
    for (QAbstractButton* option : tab.operations()) {
        std::vector<QWidget*> pressed{option};
        for (QLabel* words : tab.captionWords(option))
            pressed.push_back(words);
        for (QWidget* w : pressed) {
            onControlEvent(w, ControlEvent::KeyPress, resetDatePickers);
            onControlEvent(w, ControlEvent::MousePress, resetDatePickers);
        }
    }
}

// "AllReset(&X)": every parameter of the tab back to its load default, then the first operation
// selected and focused.
void attachAllReset(TabPage& tab) {
    tab.onClick(tab.allResetButton(), [&tab] {
        tab.restoreDefaults(tab.parameters());
        // Set before the focus moves, so that leaving the button does not cycle to the next tab.
        tab.state().focusCycling = true;
        tab.selectFirstOperation();
    });
}

}  // namespace

TabTable set4Table() {
    const std::vector<LineLayout> layouts = {
        {"Option4(1)",
         {param("Combo27"), param("Combo26"), param("Combo24"), param("Combo21"), param("Combo22"),
          nextLine(), label("Label4", "連数開始数値："), param("Text38", 60),
          label("Label5", "連数ステップ："), param("Combo23"), label("Label6", "Format："),
          param("Combo25", 80), reset("Command29")}},
        {"Option4(2)",
         {param("Combo30"), param("Combo29"), param("Combo28"), param("Text41", 50), nextLine(),
          label("Label7", "連数ステップ："), param("Combo35"), label("Label9", "Format："),
          param("Combo36", 80), label("Label10", "追加を次の行置きに行う："), param("Combo37"),
          reset("Command30")}},
        {"Option4(3)",
         {param("Combo48"), param("Text15", 70), param("Combo50"), param("Combo49"),
          reset("Command10", {"Combo48", "Text15", "Combo50", "Combo49"}), nextLine(), param("Text22", 300),
          reset("Command32", {"Text22"})}},
        {"Option4(4)",
         {param("Combo52"), param("Combo51"), label("Label16", "ステップ："), param("Text23", 60),
          reset("Command16", {"Combo52", "Combo51", "Text23"}), nextLine(), param("Text24", 60),
          label("Label17", "行追加する      Format："), param("Combo53", 240),
          reset("Command33", {"Text24", "Combo53"})}},
        {"Option4(5)",
         {param("Text27", 60), label("Label19", "ヶ月　　 開始月："), param("DTPicker1"),
          check("chkYoubi", "曜日も付加する(&K)")}},
        {"Option4(6)",
         {param("Combo54"), param("Text28", 60), label("Label21", "ヶ月 　 開始月："), param("DTPicker2"),
          nextLine(), label("Label15", "ステップ：").with(Touch::Nothing), param("Combo57")}},
        {"Option4(7)",
         {param("Combo55"), param("Text29", 60), label("Label22", "ヶ月　 　開始月："), param("DTPicker3"),
          label("Label23", "ステップ："), param("Combo56")}},
    };
    return {
        .frameName = QStringLiteral("Frame4"),
        .frameCaption = QStringLiteral("条件4"),
        .firstCode = firstCodeOn(Tab::SortsAndSeries),
        .lines = declaredLines(Tab::SortsAndSeries, layouts),
        .allReset = button("Command22", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachDatePickerReset(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
