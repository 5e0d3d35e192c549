#include "ops/params.h"

#include <stdexcept>

#include "ops/lists.h"

namespace kivo {

Params Params::defaults(Date today) {
    Params p;
    for (const ComboList& list : comboDefaults())
        p.m_values[list.name] = list.defaultText;
    for (const TextBoxDefault& box : textBoxDefaults())
        p.m_values[box.name] = box.defaultText;
    for (const std::string& name : checkBoxNames())
        p.m_values[name] = checkBoxDefault(name);
    for (const std::string& name : datePickerNames())
        p.m_values[name] = formatDate(today);
    return p;
}

bool Params::isControl(std::string_view name) {
    static const Params known = defaults(Date{2000, 1, 1});
    return known.has(name);
}

const Text& Params::text(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) throw std::out_of_range("no control " + std::string(name));
    return it->second;
}

void Params::set(std::string_view name, Text value) {
    const auto it = m_values.find(name);
    if (it != m_values.end()) {
        it->second = std::move(value);
    } else {
        m_values.emplace(std::string(name), std::move(value));
    }
}

}  // namespace kivo
