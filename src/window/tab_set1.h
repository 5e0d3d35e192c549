#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 0, condition set 1 (codes 0–12): character-level operations.
class TabSet1 final : public TabPage {
    Q_OBJECT

public:
    TabSet1(WindowState& state, QWidget* parent = nullptr);
};

}  // namespace kivo::window
