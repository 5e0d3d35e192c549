#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ops/operation.h"

// The window's parameter controls of the condition tabs: the operations' options under the names
// of their controls, and the controls of the window alone (the loop generator's selector and
// editing aids, the small boxes that only select an operation or take the focus).
namespace kivo::window {

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

/// One step of the start-up's filling of the tabs: a combo's list and default, or a text box's
/// default given again so that its input rule sees it.
struct LoadStep {
    const ComboList* list = nullptr;
    std::string textBox;
};

/// The start-up's steps in their order: every combo as comboLists() has them, with three boxes'
/// defaults given again before the month enumerations' combos.
const std::vector<LoadStep>& loadSteps();

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

/// The texts of the parameter controls of the tabs, keyed by control name ("Combo42", "Check1(3)",
/// "DTPicker1"): what a kept session holds. Check boxes hold "1" (ticked) or "0"; date pickers
/// yyyy/mm/dd.
class ControlTexts {
public:
    /// Every parameter control with its load default; date pickers hold `today`.
    static ControlTexts defaults(Date today);

    /// Whether `name` is a parameter control.
    static bool isControl(std::string_view name);

    bool has(std::string_view name) const { return m_values.find(name) != m_values.end(); }
    /// The control's text; asking for a control that does not exist is a programming error
    /// (std::out_of_range).
    const Text& text(std::string_view name) const;
    void set(std::string_view name, Text value);

    /// A check box's value: ticked when its text is "1".
    bool ticked(std::string_view name) const { return text(name) == u"1"; }

    const std::map<std::string, Text, std::less<>>& all() const& { return m_values; }
    // Iterating a temporary's values would dangle.
    const std::map<std::string, Text, std::less<>>& all() && = delete;

private:
    std::map<std::string, Text, std::less<>> m_values;
};

}  // namespace kivo::window
