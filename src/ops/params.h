#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "text/dates.h"
#include "text/lines.h"

namespace kivo {

/// The texts of the parameter controls of the four tabs, keyed by control name ("Combo42",
/// "Check1(3)", "DTPicker1"). Check boxes hold "1" (ticked) or "0"; date pickers yyyy/mm/dd.
class Params {
public:
    /// Every parameter control with its load default; date pickers hold `today`.
    static Params defaults(Date today);

    /// Whether `name` is a parameter control.
    static bool isControl(std::string_view name);

    bool has(std::string_view name) const { return m_values.find(name) != m_values.end(); }
    /// The control's text; asking for a control that does not exist is a programming error
    /// (std::out_of_range, which an operation's frame reports as a run-time error).
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

}  // namespace kivo
