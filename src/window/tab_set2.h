#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 1, condition set 2 (codes 13–25): line- and position-level operations.
class TabSet2 final : public TabPage {
    Q_OBJECT

public:
    TabSet2(WindowState& state, QWidget* parent = nullptr);
};

}  // namespace kivo::window
