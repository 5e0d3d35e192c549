#include <QComboBox>
#include <QLineEdit>

#include "window/operation_lines.h"
#include "window/rules.h"
#include "window/set2_rules.h"
#include "window/tab_tables.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

void attachRules(TabPage& tab) {
    WindowState& state = tab.state();
    new LineNumberRule(tab.named<QLineEdit>("Text11"), state);
    for (const char* name : {"Combo38", "Combo43"})
        new ListOnlyComboRule(tab.named<QComboBox>(name), state);
    for (const char* side : {"Combo4", "Combo18", "Combo16", "Combo17"})
        new SideComboRule(tab.named<QComboBox>(side), state);
    for (const char* count : {"Combo3", "Combo5", "Combo6", "Combo7", "Combo8", "Combo9", "Combo10",
                              "Combo11", "Combo12", "Combo13", "Combo14", "Combo15"})
        new NumericComboRule(tab.named<QComboBox>(count), state);
    // The delimiters of the range replacements are single-line texts: their message speaks of
    // characters only.
    for (const char* delimiter : {"Text16", "Text17", "Text19", "Text20"})
        new TextLengthRule(tab.named<QLineEdit>(delimiter), state, kDelimiterLengthMessage);
    for (const char* text : {"Text12", "Text14", "Text18", "Text21", "Text34"})
        new TextLengthRule(tab.named<PlainTextBox>(text), state);
}

}  // namespace

TabTable set2Table() {
    const std::vector<LineLayout> layouts = {
        {"Option2(1)",
         {param("Text11", 60), label("Label1", "行目").with(Touch::SelectOnly), reset("Command14")}},
        {"Option2(2)", {textBox("Text25", 14).with(Touch::SelectOnly)}},
        {"Option2(3)", {param("Combo38"), param("Text12", 200), reset("Command15")}},
        {"Option2(4)", {param("Combo4"), param("Combo3"), param("Text14", 150), reset("Command18")}},
        {"Option2(5)", {param("Combo5"), label("Label2", "文字毎")}},
        {"Option2(6)", {param("Text16", 70), param("Text17", 70), param("Text18", 95), reset("Command20")}},
        {"Option2(7)",
         {param("Combo43"), param("Text19", 64), param("Text20", 64), param("Text21", 80),
          reset("Command21")}},
        {"Option2(8)",
         {param("Combo18"), param("Combo6"), param("Combo7"), nextLine(), param("Text34", 300),
          reset("Command23")}},
    };
    return {
        .frameName = QStringLiteral("Frame2"),
        .frameCaption = QStringLiteral("条件2"),
        .firstCode = firstCodeOn(Tab::LinesAndPositions),
        .noSelectionMessage = kChooseOperation,
        // The options of this tab select themselves on getting the focus.
        .lines = declaredLines(Tab::LinesAndPositions, layouts),
        .allReset = button("Command17", "AllReset(&X)", 90),
        .underAllReset = textBox("Text40", 14).with(Touch::Nothing),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                tab.restoreAllOnAllReset();
            },
    };
}

}  // namespace kivo::window
