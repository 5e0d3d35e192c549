#pragma once

#include <initializer_list>

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 3, condition set 4 (codes 27–34): sorting, numbering and date series.
class TabSet4 final : public TabPage {
    Q_OBJECT

public:
    TabSet4(WindowState& state, QWidget* parent = nullptr);

private:
    void attachRules();
    void attachResets();
    void attachSelection();
    /// Getting the focus, each of `controls` selects `option` and clears the focus-cycling flag.
    void selectOnFocus(const char* option, std::initializer_list<const char*> controls);
    /// A mouse button released over each of `labels` selects `option` and clears the flag.
    void selectOnMouseUp(const char* option, std::initializer_list<const char*> labels);
    void select(const char* option);
    /// The three date pickers back to today (under the guard; nothing while it is held).
    void resetDatePickers();
    /// "AllReset(&X)": every parameter of the tab back to its load default, then the first
    /// operation selected and focused.
    void resetAll();
    /// The running-number and copy boxes tick the loop generator whenever they change.
    void tickLoopGenerator() const;
};

}  // namespace kivo::window
