#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 2, the loop generator (code 26): seventeen number rows under one operation.
class TabLoop final : public TabPage {
    Q_OBJECT

public:
    TabLoop(WindowState& state, QWidget* parent = nullptr);

    /// Rows of numbers the generator can step.
    static constexpr int kRows = 17;
};

}  // namespace kivo::window
