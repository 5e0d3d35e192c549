#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/control_events.h"
#include "window/control_model.h"
#include "window/controls.h"
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
    auto count = [&tab, &state](const char* name, const char* start) {
        new CountTextRule(tab.named<QLineEdit>(name), state, QString::fromUtf8(start));
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
    count("Text23", "1");
    count("Text24", "2");
    entryRule("Combo53");

    // chkYoubi needs no rule of its own: the operation reads the box's ticked state at Execute.
    count("Text27", "2");

    const ComboChecks always = ComboCheck::KeyPress | ComboCheck::Pick;
    entryRule("Combo54", always);
    count("Text28", "2");
    entryRule("Combo57", always);

    entryRule("Combo55", always);
    count("Text29", "2");
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
        tab.restoreDefaults(
            {"Combo20", "Combo27", "Combo26", "Combo24",   "Combo21",  "Combo22", "Text38",  "Combo23",
             "Combo25", "Combo30", "Combo29", "Combo28",   "Text41",   "Combo35", "Combo36", "Combo37",
             "Combo48", "Text15",  "Combo50", "Combo49",   "Text22",   "Combo52", "Combo51", "Text23",
             "Text24",  "Combo53", "Text27",  "DTPicker1", "chkYoubi", "Combo54", "Text28",  "DTPicker2",
             "Combo57", "Combo55", "Text29",  "DTPicker3", "Combo56"});
        // Set before the focus moves, so that leaving the button does not cycle to the next tab.
        tab.state().focusCycling = true;
        auto* first = tab.named<QRadioButton>("Option4(0)");
        first->setChecked(true);
        first->setFocus(Qt::OtherFocusReason);
    });
}

OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector), .pieces = std::move(pieces)};
}

}  // namespace

TabTable set4Table() {
    return {
        .frameName = QStringLiteral("Frame4"),
        .frameCaption = QStringLiteral("条件4"),
        .firstCode = 27,
        .lines =
            {
                line("Option4(0)", {words("複数行から文字をソートする(&E)"), combo("Combo20")}),
                line("Option4(1)", {combo("Combo27"), words("行目から"), combo("Combo26"), words("行おきに"),
                                    combo("Combo24"), words("から"), combo("Combo21"), words("文字目後に"),
                                    combo("Combo22"), words("数値を入れる(&F)")}),
                {.pieces = {label("Label4", "連数開始数値："), textBox("Text38", 60),
                            label("Label5", "連数ステップ："), combo("Combo23"), label("Label6", "Format："),
                            combo("Combo25", 80),
                            reset("Command29", {"Combo27", "Combo26", "Combo24", "Combo21", "Combo22",
                                                "Text38", "Combo23", "Combo25"})}},
                line("Option4(2)",
                     {combo("Combo30"), words("から"), combo("Combo29"), words("番目に見つけた数字を"),
                      combo("Combo28"), words("後改行して"), textBox("Text41", 50), words("行追加する(&G)")}),
                {.pieces = {label("Label7", "連数ステップ："), combo("Combo35"), label("Label9", "Format："),
                            combo("Combo36", 80), label("Label10", "追加を次の行置きに行う："),
                            combo("Combo37"),
                            reset("Command30", {"Combo30", "Combo29", "Combo28", "Text41", "Combo35",
                                                "Combo36", "Combo37"})}},
                line("Option4(3)", {combo("Combo48"), words("から見つけた"), multiLineBox("Text15", 70),
                                    words("を含む"), combo("Combo50"), words("側"), combo("Combo49"),
                                    words("文字を次の文字に置き換える (&H)"),
                                    reset("Command10", {"Combo48", "Text15", "Combo50", "Combo49"})}),
                {.pieces = {multiLineBox("Text22", 300), reset("Command32", {"Text22"})}},
                line("Option4(4)", {combo("Combo52"), words("を"), combo("Combo51"), words("する(&I)"),
                                    label("Label16", "ステップ："), textBox("Text23", 60),
                                    reset("Command16", {"Combo52", "Combo51", "Text23"})}),
                {.pieces = {textBox("Text24", 60), label("Label17", "行追加する      Format："),
                            combo("Combo53", 240), reset("Command33", {"Text24", "Combo53"})}},
                line("Option4(5)", {words("月末の日にちを列挙する(&J)"), textBox("Text27", 60),
                                    label("Label19", "ヶ月　　 開始月："), datePicker("DTPicker1"),
                                    check("chkYoubi", "曜日も付加する(&K)")}),
                line("Option4(6)",
                     {words("月初めの"), combo("Combo54"), words("の日にちを列挙する(&L)"),
                      textBox("Text28", 60), label("Label21", "ヶ月 　 開始月："), datePicker("DTPicker2")}),
                {.pieces = {label("Label15", "ステップ：").with(Touch::Nothing), combo("Combo57")}},
                line("Option4(7)", {combo("Combo55"), words("を列挙する(&M)"), textBox("Text29", 60),
                                    label("Label22", "ヶ月　 　開始月："), datePicker("DTPicker3"),
                                    label("Label23", "ステップ："), combo("Combo56")}),
            },
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
