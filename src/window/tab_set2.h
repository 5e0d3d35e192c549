#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 1, condition set 2 (codes 13–25): line- and position-level operations.
class TabSet2 final : public TabPage {
    Q_OBJECT

public:
    TabSet2(WindowState& state, QWidget* parent = nullptr);

private:
    /// Whether touching a control also clears the focus-cycling flag.
    enum class Cycling { Clear, Keep };

    void attachRules();
    void attachResets();
    void attachSelection();
    /// Selects `option` when any of `controls` gets the focus.
    void selectOnFocus(const char* option, std::initializer_list<const char*> controls,
                       Cycling cycling = Cycling::Clear);
    /// Selects `option` when a mouse button is released over the label `name`.
    void selectOnRelease(const char* option, const char* name, Cycling cycling);
    void select(const char* option, Cycling cycling);
};

}  // namespace kivo::window
