#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ops/operation.h"

namespace kivo {

/// A combo box of the condition tabs: its list entries and default text.
struct ComboList {
    std::string name;
    std::vector<Text> entries;
    Text defaultText;
};

/// A parameter text box with its default (most start empty) and whether it accepts several lines.
struct TextBoxDefault {
    std::string name;
    Text defaultText;
    bool multiLine = false;
};

/// Every combo of the tabs in the order the window loads them: the operations' parameters and the
/// loop generator's editing aids.
const std::vector<ComboList>& comboLists();
const ComboList& comboList(std::string_view name);

/// The combos of comboLists() with their defaults but without their entries: what a run reads,
/// made without the thousands of entries of the counts.
const std::vector<ComboList>& comboDefaults();

/// Every text box of the tabs, by number: the operations' parameters and the small boxes that only
/// select an operation or hold the focus.
const std::vector<TextBoxDefault>& textBoxDefaults();

/// The check boxes of the tabs: the operations' parameters, the loop generator's selector `Check3`
/// (which starts ticked) and its editing aid `Check2`.
const std::vector<std::string>& checkBoxNames();

/// A check box's load default: "1" ticked, "0" clear.
Text checkBoxDefault(std::string_view name);

/// The date pickers, which start at today's date.
const std::vector<std::string>& datePickerNames();

}  // namespace kivo
