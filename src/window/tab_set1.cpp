#include "window/tab_set1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ops/lists.h"
#include "window/control_events.h"
#include "window/reverse_rules.h"
#include "window/rules.h"
#include "window/set1_rules.h"
#include "window/text_box.h"

namespace kivo::window {

TabSet1::TabSet1(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame1"), QStringLiteral("条件1"), state, parent) {
    QComboBox* combo41 = combo("Combo41");
    QComboBox* combo42 = combo("Combo42");
    addCaptionLine(option("Option1(0)"), "リバース(&E)", {},
                   {combo41, label("Label11", "行間隔："), combo42});
    new ReverseRules(combo41, combo42, m_state);

    addCaptionLine(option("Option1(1)"), "文字数をカウント(&F)", {}, {combo("Combo39", 380)});

    addCaptionLine(option("Option1(2)"), "特殊文字を次の文字に置換(&G)", {},
                   {combo("Combo40"), multiLineBox("Text26", 120), resetButton("Command26")});

    addCaptionLine(option("Option1(3)"), "                                      の数をカウントする(&H)",
                   {{combo("Combo19")}});

    addCaptionLine(option("Option1(4)"), "　　　　　に次の文字を追加する(&I)", {{combo("Combo31")}},
                   {multiLineBox("Text3", 160), resetButton("Command4")});

    addCaptionLine(
        option("Option1(5)"),
        "　　　　　　      "
        "数字を　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　に置き換(&J)",
        {{combo("Combo34")}, {multiLineBox("Text4", 150)}}, {resetButton("Command7")});

    addCaptionLine(option("Option1(6)"), "        　から　　　　   文字を次の文字に置き換える(&K)",
                   {{combo("Combo32")}, {combo("Combo1")}},
                   {multiLineBox("Text5", 110), resetButton("Command8")});

    addCaptionLine(option("Option1(7)"),
                   "　　      から見つけた                         　　　　　　　　　　　の　　　　　　　 "
                   "を次の文字に置換(&L)",
                   {{combo("Combo2")}, {textBox("Text7", 80)}, {combo("Combo33")}},
                   {multiLineBox("Text8", 70), resetButton("Command9"), resetButton("Command5")});

    addCaptionLine(option("Option1(8)"), "数字だけを抜き出す(&M)", {}, {textBox("Text35", 14)});
    addCaptionLine(option("Option1(9)"), "ダブルバイト文字だけを抜き出す(&N)", {}, {textBox("Text36", 14)});
    addCaptionLine(option("Option1(10)"), "半角文字だけを抜き出す(&O)", {}, {textBox("Text37", 14)});
    addCaptionLine(option("Option1(11)"), "複数行の1行毎に左側にTab文字を1つ追加する(&P)", {},
                   {textBox("Text9", 14)});

    addCaptionLine(option("Option1(12)"), "複数行から次の条件を満たす行を抜き出す(&Q)", {});
    addLine({combo("Combo47"), textBox("Text13", 200), resetButton("Command19")});

    addAllResetLine(button("Command13", "AllReset(&X)", 90), textBox("Text39", 14));

    chainFocusAlongLines();
    attachRules();
    attachResets();
    attachSelection();
}

void TabSet1::attachRules() {
    new ListOnlyComboRule(named<QComboBox>("Combo39"), m_state, QStringLiteral("改行をカウントしない"));
    new SpecialCharacterComboRule(named<QComboBox>("Combo40"), m_state, QStringLiteral("改行(CrLf)"));
    new ListOnlyComboRule(named<QComboBox>("Combo19"), m_state, QStringLiteral("半角英小文字「a～z」"));
    new SideComboRule(named<QComboBox>("Combo31"), m_state);
    new ListOnlyComboRule(named<QComboBox>("Combo34"), m_state, QStringLiteral("半角"));
    new SideComboRule(named<QComboBox>("Combo32"), m_state);
    new NumericComboRule(named<QComboBox>("Combo1"), m_state);
    new SideComboRule(named<QComboBox>("Combo2"), m_state);
    new ListOnlyComboRule(named<QComboBox>("Combo33"), m_state, QStringLiteral("左側"));
    new ListOnlyComboRule(named<QComboBox>("Combo47"), m_state, QStringLiteral("次の文字を含む行を抜き出す"));
    for (const char* name : {"Text26", "Text3", "Text4", "Text5", "Text8"})
        new TextLengthRule(named<PlainTextBox>(name), m_state);
    for (const char* name : {"Text7", "Text13"})
        new TextLengthRule(named<QLineEdit>(name), m_state);
}

void TabSet1::attachResets() {
    resetOnClick(named<QPushButton>("Command26"), {"Combo40", "Text26"});
    resetOnClick(named<QPushButton>("Command4"), {"Combo31", "Text3"});
    resetOnClick(named<QPushButton>("Command7"), {"Combo34", "Text4"});
    resetOnClick(named<QPushButton>("Command8"), {"Combo32", "Combo1", "Text5"});
    resetOnClick(named<QPushButton>("Command9"), {"Combo2", "Text7", "Combo33"});
    resetOnClick(named<QPushButton>("Command5"), {"Text8"});
    resetOnClick(named<QPushButton>("Command19"), {"Combo47", "Text13"});
    onAllReset(named<QPushButton>("Command13"), [this] {
        restoreDefaults({"Combo41", "Combo42", "Combo39", "Combo40", "Text26", "Combo19", "Combo31", "Text3",
                         "Combo34", "Text4", "Combo32", "Combo1", "Text5", "Combo2", "Text7", "Combo33",
                         "Text8", "Combo47", "Text13"});
        auto* reverse = named<QRadioButton>("Option1(0)");
        reverse->setChecked(true);
        reverse->setFocus(Qt::OtherFocusReason);
    });
}

void TabSet1::attachSelection() {
    selectsOnFocus("Option1(0)", {"Combo41", "Combo42"});
    selectsOnFocus("Option1(1)", {"Combo39"});
    selectsOnFocus("Option1(2)", {"Combo40", "Text26", "Command26"});
    selectsOnFocus("Option1(3)", {"Combo19"});
    selectsOnFocus("Option1(4)", {"Combo31", "Text3", "Command4"});
    selectsOnFocus("Option1(5)", {"Combo34", "Text4", "Command7"});
    selectsOnFocus("Option1(6)", {"Combo32", "Combo1", "Text5", "Command8"});
    selectsOnFocus("Option1(7)", {"Combo2", "Text7", "Combo33", "Text8", "Command9", "Command5"});
    // The small boxes beside the operations without parameters only select; they leave the
    // focus-cycling flag as it is.
    selectsOnFocus("Option1(8)", {"Text35"}, false);
    selectsOnFocus("Option1(9)", {"Text36"}, false);
    selectsOnFocus("Option1(10)", {"Text37"}, false);
    selectsOnFocus("Option1(11)", {"Text9"}, false);
    selectsOnFocus("Option1(12)", {"Combo47", "Text13", "Command19"});

    // The options of this tab are chosen by a click, not by getting the focus (tabbing onto one
    // leaves the choice as it is); the focus only clears the flag.
    for (int i = 0; i <= 12; ++i)
        onControlEvent(named<QRadioButton>(arrayName("Option1", i).c_str()), ControlEvent::FocusIn,
                       [this] { m_state.focusCycling = false; });

    auto* reverse = named<QRadioButton>("Option1(0)");
    onControlEvent(named<QLabel>("Label11"), ControlEvent::MouseRelease,
                   [reverse] { reverse->setChecked(true); });
}

void TabSet1::selectsOnFocus(const char* option, std::initializer_list<const char*> controls,
                             bool clearsCycling) {
    auto* selector = named<QRadioButton>(option);
    Q_ASSERT(selector);
    for (const char* name : controls) {
        QWidget* control = named<QWidget>(name);
        Q_ASSERT(control);
        onControlEvent(control, ControlEvent::FocusIn, [this, selector, clearsCycling] {
            selector->setChecked(true);
            if (clearsCycling) m_state.focusCycling = false;
        });
    }
}

}  // namespace kivo::window
