#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/lines.h"

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

/// Every combo of the four tabs in the order the window loads them.
const std::vector<ComboList>& comboLists();
const ComboList& comboList(std::string_view name);

/// Every parameter text box, by number.
const std::vector<TextBoxDefault>& textBoxDefaults();

/// The check boxes of the tabs ("Check1(0)".."Check1(16)", "Check2", "Check3", "Check4",
/// "chkYoubi"); only `Check3` starts ticked.
const std::vector<std::string>& checkBoxNames();

/// The date pickers, which start at today's date.
const std::vector<std::string>& datePickerNames();

/// The name of a control array member: arrayName("ComboId", 3) is "ComboId(3)".
std::string arrayName(std::string_view array, int index);

/// The zero-format list: "0", "00", … sixteen zeros.
std::vector<Text> zeroFormats();

}  // namespace kivo
