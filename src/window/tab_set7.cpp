#include "window/operation_lines.h"
#include "window/tab_tables.h"

namespace kivo::window {

TabTable set7Table() {
    // A table's separator and what becomes of its malformed rows go on a line under its caption,
    // so that the lines fit the tab's width.
    const std::vector<LineLayout> layouts = {
        {"Option7(0)",
         {param("Text42", 80), param("Combo72"), reset("Command48"), nextLine(), label("Label29"),
          param("Text43", 40), label("Label30"), param("Combo73")}},
        {"Option7(1)",
         {param("Text44", 40), param("Combo74"), param("Combo75"), reset("Command49"), nextLine(),
          param("Check7(0)"), label("Label31"), param("Text45", 40), label("Label32"), param("Combo76")}},
        {"Option7(2)",
         {param("Text46", 40), reset("Command50"), nextLine(), param("Check7(1)"), label("Label33"),
          param("Text47", 40), label("Label34"), param("Combo77")}},
        {"Option7(3)",
         {param("Text48", 40), param("Text49", 40), reset("Command51"), nextLine(), label("Label35"),
          param("Combo78")}},
        // Where and how the pattern matches, under the pattern and its replacement.
        {"Option7(4)",
         {param("Text50"), param("Text51", 90), reset("Command52"), nextLine(), param("Combo79"),
          label("Label37"), param("Combo80"), label("Label38"), param("Check7(2)")}},
        {"Option7(5)",
         {param("Text52", 110), param("Combo81"), reset("Command53"), nextLine(), param("Combo82"),
          label("Label39"), param("Check7(3)")}},
        // How a pair is written, where the user types the pairs.
        {"Option7(6)",
         {param("Text53", 150), param("Combo83"), reset("Command54"), nextLine(), label("Label36")}},
    };
    return {
        .frameName = QStringLiteral("Frame7"),
        .frameCaption = QStringLiteral("条件7"),
        .firstCode = firstCodeOn(Tab::Patterns),
        .noSelectionMessage = kChooseOperation,
        .lines = declaredLines(Tab::Patterns, layouts),
        .allReset = button("Command55", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachDeclaredRules(tab);
                tab.restoreAllOnAllReset();
            },
    };
}

}  // namespace kivo::window
