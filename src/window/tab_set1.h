#pragma once

#include <initializer_list>

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 0, condition set 1 (codes 0–12): character-level operations.
class TabSet1 final : public TabPage {
    Q_OBJECT

public:
    TabSet1(WindowState& state, QWidget* parent = nullptr);

private:
    void attachRules();
    /// The Reset buttons of the lines and the tab's "AllReset(&X)".
    void attachResets();
    /// Touching a parameter control, a Reset button or the interval label selects its operation.
    void attachSelection();
    /// Getting the focus, each of `controls` selects `option` and, when `clearsCycling`, clears
    /// the focus-cycling flag.
    void selectsOnFocus(const char* option, std::initializer_list<const char*> controls,
                        bool clearsCycling = true);
};

}  // namespace kivo::window
