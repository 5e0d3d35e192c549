#include "window/tab_set2.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ops/lists.h"
#include "window/control_events.h"
#include "window/rules.h"
#include "window/set2_rules.h"
#include "window/text_box.h"

namespace kivo::window {

TabSet2::TabSet2(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame2"), QStringLiteral("条件2"), state, parent) {
    addCaptionLine(option("Option2(0)"), "複数行の行数をカウントする(&E)", {});

    addCaptionLine(option("Option2(1)"), "複数行から1行抜き出す(&F)", {},
                   {textBox("Text11", 60), label("Label1", "行目"), resetButton("Command14")});

    addCaptionLine(option("Option2(2)"), "改行無しデータを1文字ずつ重複チェックを行う(&G)", {},
                   {textBox("Text25", 14)});

    addCaptionLine(option("Option2(3)"),
                   "         　 行を              　            "
                   "　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　 に置換(&H)",
                   {{combo("Combo38")}, {multiLineBox("Text12", 200)}}, {resetButton("Command15")});

    addCaptionLine(option("Option2(4)"),
                   "          から  　　　　 文字目に             "
                   "　　　　　　　　　　　　　　　　　　　　　　　　　  を差し込む(&I)",
                   {{combo("Combo4")}, {combo("Combo3")}, {multiLineBox("Text14", 150)}},
                   {resetButton("Command18")});

    addCaptionLine(option("Option2(5)"), "1行文字列に次の文字数毎改行を入れる(&J)", {},
                   {combo("Combo5"), label("Label2", "文字毎")});

    addCaptionLine(option("Option2(6)"),
                   "行毎に1行内すべての　　        ～ 　　       を                                 "
                   "　　　　　　　　　に置換(&K)",
                   {{textBox("Text16", 70)}, {textBox("Text17", 70)}, {multiLineBox("Text18", 95)}},
                   {resetButton("Command20")});

    addCaptionLine(
        option("Option2(7)"),
        "行毎に 　　　　　　　　　　　　　　　　　　　 　　　　～            を  "
        "　　　　　　　　　　　　　　　 に置換(&L)",
        {{combo("Combo43"), textBox("Text19", 64)}, {textBox("Text20", 64)}, {multiLineBox("Text21", 80)}},
        {resetButton("Command21")});

    addCaptionLine(option("Option2(8)"), "　　　　　から　　  　　 文字目～文字数　　　　　 文字を置換(&M)",
                   {{combo("Combo18")}, {combo("Combo6")}, {combo("Combo7")}});
    addLine({multiLineBox("Text34", 300), resetButton("Command23")});

    addCaptionLine(option("Option2(9)"), " 　　 　　行目から複数行の行数から  　　　　 行おきに抜き出す(&N)",
                   {{combo("Combo8")}, {combo("Combo9")}});
    addCaptionLine(option("Option2(10)"),
                   "　　 　　 行目から複数行の行数から  　　　　 行おきに抜き出した残り(&O)",
                   {{combo("Combo10")}, {combo("Combo11")}});

    addCaptionLine(option("Option2(11)"), "　　　　　辺より           文字目から　 　　　　文字抜き出す(&P)",
                   {{combo("Combo16")}, {combo("Combo12")}, {combo("Combo13")}});
    addCaptionLine(option("Option2(12)"),
                   "　　　　　辺より           文字目から　 　　　　文字抜き出した残り(&Q)",
                   {{combo("Combo17")}, {combo("Combo14")}, {combo("Combo15")}});

    addAllResetLine(button("Command17", "AllReset(&X)", 90), textBox("Text40", 14));

    chainFocusAlongLines();
    attachRules();
    attachResets();
    attachSelection();
}

void TabSet2::attachRules() {
    new LineNumberRule(named<QLineEdit>("Text11"), m_state);
    new ListOnlyComboRule(named<QComboBox>("Combo38"), m_state, QStringLiteral("奇数"));
    new ListOnlyComboRule(named<QComboBox>("Combo43"), m_state, QStringLiteral("左から見つけた最初の"));
    for (const char* side : {"Combo4", "Combo18", "Combo16", "Combo17"})
        new SideComboRule(named<QComboBox>(side), m_state);
    for (const char* count : {"Combo3", "Combo5", "Combo6", "Combo7", "Combo8", "Combo9", "Combo10",
                              "Combo11", "Combo12", "Combo13", "Combo14", "Combo15"})
        new NumericComboRule(named<QComboBox>(count), m_state);
    // The delimiters of the range replacements are single-line texts: their message speaks of
    // characters only.
    for (const char* delimiter : {"Text16", "Text17", "Text19", "Text20"})
        new TextLengthRule(named<QLineEdit>(delimiter), m_state, kDelimiterLengthMessage);
    for (const char* text : {"Text12", "Text14", "Text18", "Text21", "Text34"})
        new TextLengthRule(named<PlainTextBox>(text), m_state);
}

void TabSet2::attachResets() {
    resetOnClick(named<QPushButton>("Command14"), {"Text11"});
    resetOnClick(named<QPushButton>("Command15"), {"Combo38", "Text12"});
    resetOnClick(named<QPushButton>("Command18"), {"Combo4", "Combo3", "Text14"});
    resetOnClick(named<QPushButton>("Command20"), {"Text16", "Text17", "Text18"});
    resetOnClick(named<QPushButton>("Command21"), {"Combo43", "Text19", "Text20", "Text21"});
    resetOnClick(named<QPushButton>("Command23"), {"Combo18", "Combo6", "Combo7", "Text34"});
    onAllReset(named<QPushButton>("Command17"), [this] {
        restoreDefaults({"Text11",  "Combo38", "Text12",  "Combo4",  "Combo3",  "Text14",  "Combo5",
                         "Text16",  "Text17",  "Text18",  "Combo43", "Text19",  "Text20",  "Text21",
                         "Combo18", "Combo6",  "Combo7",  "Text34",  "Combo8",  "Combo9",  "Combo10",
                         "Combo11", "Combo16", "Combo12", "Combo13", "Combo17", "Combo14", "Combo15"});
        auto* first = named<QRadioButton>("Option2(0)");
        first->setChecked(true);
        first->setFocus();
    });
}

void TabSet2::attachSelection() {
    for (int i = 0; i < 13; ++i) {
        const std::string name = arrayName("Option2", i);
        auto* option = named<QRadioButton>(name.c_str());
        onControlEvent(option, ControlEvent::FocusIn, [this, option] {
            option->setChecked(true);
            m_state.focusCycling = false;
        });
    }
    selectOnFocus("Option2(1)", {"Text11", "Command14"});
    selectOnFocus("Option2(2)", {"Text25"}, Cycling::Keep);
    selectOnFocus("Option2(3)", {"Combo38", "Text12", "Command15"});
    selectOnFocus("Option2(4)", {"Combo4", "Combo3", "Text14", "Command18"});
    selectOnFocus("Option2(5)", {"Combo5"});
    selectOnFocus("Option2(6)", {"Text16", "Text17", "Text18", "Command20"});
    selectOnFocus("Option2(7)", {"Combo43", "Text19", "Text20", "Text21", "Command21"});
    selectOnFocus("Option2(8)", {"Combo18", "Combo6", "Combo7", "Text34", "Command23"});
    selectOnFocus("Option2(9)", {"Combo8", "Combo9"});
    selectOnFocus("Option2(10)", {"Combo10", "Combo11"});
    selectOnFocus("Option2(11)", {"Combo16", "Combo12", "Combo13"});
    selectOnFocus("Option2(12)", {"Combo17", "Combo14", "Combo15"});
    selectOnRelease("Option2(1)", "Label1", Cycling::Keep);
    selectOnRelease("Option2(5)", "Label2", Cycling::Clear);
}

void TabSet2::selectOnFocus(const char* option, std::initializer_list<const char*> controls,
                            Cycling cycling) {
    for (const char* name : controls)
        onControlEvent(named<QWidget>(name), ControlEvent::FocusIn,
                       [this, option, cycling] { select(option, cycling); });
}

void TabSet2::selectOnRelease(const char* option, const char* name, Cycling cycling) {
    onControlEvent(named<QLabel>(name), ControlEvent::MouseRelease,
                   [this, option, cycling] { select(option, cycling); });
}

void TabSet2::select(const char* option, Cycling cycling) {
    named<QRadioButton>(option)->setChecked(true);
    if (cycling == Cycling::Clear) m_state.focusCycling = false;
}

}  // namespace kivo::window
