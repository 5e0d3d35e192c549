#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Tab 3, condition set 4 (codes 27–34): sorting, numbering and date series.
class TabSet4 final : public TabPage {
    Q_OBJECT

public:
    TabSet4(WindowState& state, QWidget* parent = nullptr);
};

}  // namespace kivo::window
