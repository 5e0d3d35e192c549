#include "window/operation_lines.h"
#include "window/tab_tables.h"

namespace kivo::window {

TabTable set5Table() {
    const std::vector<LineLayout> layouts = {
        // The classes on a line of their own, as the filter's condition is on tab 0.
        {"Option5(0)",
         {param("Combo59"), nextLine(), label("Label24"), param("Check5(0)"), param("Check5(1)"),
          param("Check5(2)"), param("Check5(3)"), param("Check5(4)"), reset("Command34")}},
        {"Option5(1)", {reset("Command35")}},
        {"Option5(2)", {reset("Command36")}},
        {"Option5(3)", {reset("Command37")}},
        {"Option5(4)", {reset("Command38")}},
        {"Option5(5)", {reset("Command39")}},
        {"Option5(6)", {reset("Command40")}},
    };
    return {
        .frameName = QStringLiteral("Frame5"),
        .frameCaption = QStringLiteral("条件5"),
        .firstCode = firstCodeOn(Tab::Japanese),
        .noSelectionMessage = kChooseOperation,
        .lines = declaredLines(Tab::Japanese, layouts),
        .allReset = button("Command41", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachDeclaredRules(tab);
                tab.restoreAllOnAllReset();
            },
    };
}

}  // namespace kivo::window
