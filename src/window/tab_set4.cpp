#include "window/tab_set4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ops/lists.h"
#include "window/control_events.h"
#include "window/controls.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/set4_rules.h"
#include "window/text_box.h"

namespace kivo::window {

TabSet4::TabSet4(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame4"), QStringLiteral("条件4"), state, parent) {
    addCaptionLine(option("Option4(0)"), "複数行から文字をソートする(&E)", {}, {combo("Combo20")});

    addCaptionLine(
        option("Option4(1)"),
        "          行目から 　　　　　行おきに　　　　   から　     　  文字目後に 　　　　　   　          "
        "数値を入れる(&F)",
        {{combo("Combo27")}, {combo("Combo26")}, {combo("Combo24")}, {combo("Combo21")}, {combo("Combo22")}});
    addLine({label("Label4", "連数開始数値："), textBox("Text38", 60), label("Label5", "連数ステップ："),
             combo("Combo23"), label("Label6", "Format："), combo("Combo25", 80), resetButton("Command29")});

    addCaptionLine(option("Option4(2)"),
                   "  　　　　から　　　　　 番目に見つけた数字を   "
                   "　　　　　　　　　　　後改行して　　　　　　　　　　 行追加する(&G)",
                   {{combo("Combo30")}, {combo("Combo29")}, {combo("Combo28")}, {textBox("Text41", 50)}});
    addLine({label("Label7", "連数ステップ："), combo("Combo35"), label("Label9", "Format："),
             combo("Combo36", 80), label("Label10", "追加を次の行置きに行う："), combo("Combo37"),
             resetButton("Command30")});

    addCaptionLine(
        option("Option4(3)"),
        "        　から見つけた　　　　　　　　を含む　　　 　  側           文字を次の文字に置き換える (&H)",
        {{combo("Combo48")}, {multiLineBox("Text15", 70)}, {combo("Combo50")}, {combo("Combo49")}},
        {resetButton("Command10")});
    addLine({multiLineBox("Text22", 300), resetButton("Command32")});

    addCaptionLine(option("Option4(4)"),
                   "                                  を                          する(&I)",
                   {{combo("Combo52")}, {combo("Combo51")}},
                   {label("Label16", "ステップ："), textBox("Text23", 60), resetButton("Command16")});
    addLine({textBox("Text24", 60), label("Label17", "行追加する      Format："), combo("Combo53", 240),
             resetButton("Command33")});

    addCaptionLine(option("Option4(5)"), "月末の日にちを列挙する(&J)", {},
                   {textBox("Text27", 60), label("Label19", "ヶ月　　 開始月："), datePicker("DTPicker1"),
                    checkBox("chkYoubi", "曜日も付加する(&K)")});

    addCaptionLine(option("Option4(6)"), "月初めの　　　　　　　の日にちを列挙する(&L)", {{combo("Combo54")}},
                   {textBox("Text28", 60), label("Label21", "ヶ月 　 開始月："), datePicker("DTPicker2")});
    addLine({label("Label15", "ステップ："), combo("Combo57")});

    addCaptionLine(option("Option4(7)"), "　　　　　  を列挙する(&M)", {{combo("Combo55")}},
                   {textBox("Text29", 60), label("Label22", "ヶ月　 　開始月："), datePicker("DTPicker3"),
                    label("Label23", "ステップ："), combo("Combo56")});

    addAllResetLine(button("Command22", "AllReset(&X)", 90));

    chainFocusAlongLines();
    attachRules();
    attachResets();
    attachSelection();
}

void TabSet4::attachRules() {
    // A combo whose list fixes its texts: anything else becomes the list's default.
    auto entryRule = [this](const char* name, ComboChecks also = {}) {
        const ComboList& list = comboList(name);
        QStringList entries;
        for (const Text& entry : list.entries)
            entries.append(toQString(entry));
        new EntryComboRule(named<QComboBox>(name), m_state, entries, toQString(list.defaultText), also);
    };
    const auto tick = [this] { tickLoopGenerator(); };

    entryRule("Combo20", ComboCheck::KeyPress);

    new NumericComboRule(named<QComboBox>("Combo27"), m_state);
    new NumericComboRule(named<QComboBox>("Combo26"), m_state, 0);
    new SideComboRule(named<QComboBox>("Combo24"), m_state);
    new NumericComboRule(named<QComboBox>("Combo21"), m_state, 0);
    entryRule("Combo22");
    new DigitTextRule(named<QLineEdit>("Text38"), m_state, repairStartValue, tick);
    new NumericComboRule(named<QComboBox>("Combo23"), m_state);
    entryRule("Combo25");

    new SideComboRule(named<QComboBox>("Combo30"), m_state);
    new NumericComboRule(named<QComboBox>("Combo29"), m_state);
    entryRule("Combo28");
    new DigitTextRule(named<QLineEdit>("Text41"), m_state, repairCopyCount, tick);
    new NumericComboRule(named<QComboBox>("Combo35"), m_state);
    entryRule("Combo36");
    new NumericComboRule(named<QComboBox>("Combo37"), m_state, 0);

    // Combo48 has no rule: any text other than "左" looks for the last occurrence.
    new TextLengthRule(named<PlainTextBox>("Text15"), m_state);
    new SideComboRule(named<QComboBox>("Combo50"), m_state);
    new TypedCountComboRule(named<QComboBox>("Combo49"), m_state);
    new TextLengthRule(named<PlainTextBox>("Text22"), m_state);

    entryRule("Combo52");
    entryRule("Combo51");
    new CountTextRule(named<QLineEdit>("Text23"), m_state, QStringLiteral("1"));
    new CountTextRule(named<QLineEdit>("Text24"), m_state, QStringLiteral("2"));
    entryRule("Combo53");

    // chkYoubi needs no rule of its own: the operation reads the box's ticked state at Execute.
    new CountTextRule(named<QLineEdit>("Text27"), m_state, QStringLiteral("2"));

    const ComboChecks always = ComboCheck::KeyPress | ComboCheck::Pick;
    entryRule("Combo54", always);
    new CountTextRule(named<QLineEdit>("Text28"), m_state, QStringLiteral("2"));
    entryRule("Combo57", always);

    entryRule("Combo55", always);
    new CountTextRule(named<QLineEdit>("Text29"), m_state, QStringLiteral("2"));
    entryRule("Combo56", always);
}

void TabSet4::attachResets() {
    resetOnClick(named<QPushButton>("Command29"),
                 {"Combo27", "Combo26", "Combo24", "Combo21", "Combo22", "Text38", "Combo23", "Combo25"});
    resetOnClick(named<QPushButton>("Command30"),
                 {"Combo30", "Combo29", "Combo28", "Text41", "Combo35", "Combo36", "Combo37"});
    resetOnClick(named<QPushButton>("Command10"), {"Combo48", "Text15", "Combo50", "Combo49"});
    resetOnClick(named<QPushButton>("Command32"), {"Text22"});
    resetOnClick(named<QPushButton>("Command16"), {"Combo52", "Combo51", "Text23"});
    resetOnClick(named<QPushButton>("Command33"), {"Text24", "Combo53"});
    onClick(named<QPushButton>("Command22"), [this] { resetAll(); });
}

void TabSet4::attachSelection() {
    for (int i = 0; i < 8; ++i) {
        const std::string name = arrayName("Option4", i);
        auto* option = named<QRadioButton>(name.c_str());
        onControlEvent(option, ControlEvent::FocusIn, [this, option] {
            option->setChecked(true);
            m_state.focusCycling = false;
        });
        // The words of an option's caption are part of the option: pressing them counts too.
        std::vector<QWidget*> pressed{option};
        for (QLabel* words : frame()->findChildren<QLabel*>())
            if (words->objectName().startsWith(option->objectName() + QStringLiteral(".caption")))
                pressed.push_back(words);
        for (QWidget* w : pressed) {
            onControlEvent(w, ControlEvent::KeyPress, [this] { resetDatePickers(); });
            onControlEvent(w, ControlEvent::MousePress, [this] { resetDatePickers(); });
        }
    }

    selectOnFocus("Option4(0)", {"Combo20"});
    selectOnFocus("Option4(1)", {"Combo27", "Combo26", "Combo24", "Combo21", "Combo22", "Text38", "Combo23",
                                 "Combo25", "Command29"});
    selectOnMouseUp("Option4(1)", {"Label4", "Label5", "Label6"});
    selectOnFocus("Option4(2)",
                  {"Combo30", "Combo29", "Combo28", "Text41", "Combo35", "Combo36", "Combo37", "Command30"});
    selectOnMouseUp("Option4(2)", {"Label7", "Label9", "Label10"});
    selectOnFocus("Option4(3)",
                  {"Combo48", "Text15", "Combo50", "Combo49", "Command10", "Text22", "Command32"});
    selectOnFocus("Option4(4)",
                  {"Combo52", "Combo51", "Text23", "Command16", "Text24", "Combo53", "Command33"});
    selectOnMouseUp("Option4(4)", {"Label16", "Label17"});
    selectOnFocus("Option4(5)", {"Text27", "DTPicker1", "chkYoubi"});
    selectOnMouseUp("Option4(5)", {"Label19"});
    selectOnFocus("Option4(6)", {"Combo54", "Text28", "DTPicker2", "Combo57"});
    selectOnMouseUp("Option4(6)", {"Label21"});
    selectOnFocus("Option4(7)", {"Combo55", "Text29", "DTPicker3", "Combo56"});
    selectOnMouseUp("Option4(7)", {"Label22", "Label23"});
}

void TabSet4::selectOnFocus(const char* option, std::initializer_list<const char*> controls) {
    for (const char* name : controls)
        onControlEvent(named<QWidget>(name), ControlEvent::FocusIn, [this, option] { select(option); });
}

void TabSet4::selectOnMouseUp(const char* option, std::initializer_list<const char*> labels) {
    for (const char* name : labels)
        onControlEvent(named<QLabel>(name), ControlEvent::MouseRelease, [this, option] { select(option); });
}

void TabSet4::select(const char* option) {
    named<QRadioButton>(option)->setChecked(true);
    m_state.focusCycling = false;
}

void TabSet4::resetDatePickers() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    restoreDefaults({"DTPicker1", "DTPicker2", "DTPicker3"});
}

void TabSet4::resetAll() {
    restoreDefaults({"Combo20",   "Combo27", "Combo26", "Combo24",   "Combo21", "Combo22", "Text38",
                     "Combo23",   "Combo25", "Combo30", "Combo29",   "Combo28", "Text41",  "Combo35",
                     "Combo36",   "Combo37", "Combo48", "Text15",    "Combo50", "Combo49", "Text22",
                     "Combo52",   "Combo51", "Text23",  "Text24",    "Combo53", "Text27",  "DTPicker1",
                     "chkYoubi",  "Combo54", "Text28",  "DTPicker2", "Combo57", "Combo55", "Text29",
                     "DTPicker3", "Combo56"});
    // Set before the focus moves, so that leaving the button does not cycle to the next tab.
    m_state.focusCycling = true;
    auto* first = named<QRadioButton>("Option4(0)");
    first->setChecked(true);
    first->setFocus(Qt::OtherFocusReason);
}

void TabSet4::tickLoopGenerator() const {
    if (!m_controls) return;
    if (auto* check3 = qobject_cast<QCheckBox*>(m_controls->control("Check3"))) check3->setChecked(true);
}

}  // namespace kivo::window
