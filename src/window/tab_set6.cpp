#include "window/operation_lines.h"
#include "window/tab_tables.h"

namespace kivo::window {

TabTable set6Table() {
    const std::vector<LineLayout> layouts = {
        {"Option6(0)", {reset("Command43")}},
        // The output's form on a line of its own, as the width conversion's classes are.
        {"Option6(1)",
         {label("Label25"), param("DTPicker4"), label("Label26"), param("Combo67"), param("Combo68"),
          reset("Command44"), nextLine(), label("Label27"), param("Combo69"), param("Check6(1)"),
          param("Check6(2)"), param("Check6(3)")}},
        {"Option6(2)", {reset("Command45")}},
        // The rule that keeps words such as 一人 as they are, where the user reads it.
        {"Option6(3)", {reset("Command46"), nextLine(), label("Label28")}},
    };
    return {
        .frameName = QStringLiteral("Frame6"),
        .frameCaption = QStringLiteral("条件6"),
        .firstCode = firstCodeOn(Tab::OfficeChores),
        .noSelectionMessage = kChooseOperation,
        .lines = declaredLines(Tab::OfficeChores, layouts),
        .allReset = button("Command47", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachDeclaredRules(tab);
                tab.restoreAllOnAllReset();
            },
    };
}

}  // namespace kivo::window
