#include "window/control_model.h"

#include <algorithm>
#include <stdexcept>

#include "ops/loop/loop_generator.h"
#include "ops/registry.h"

namespace kivo::window {
namespace {

const ParamDeclaration* declaredParam(std::string_view control) {
    const std::optional<AliasedParam> aliased = paramAliased(control);
    return aliased ? aliased->param : nullptr;
}

std::vector<Text> range(int from, int to, std::u16string_view prefix = u"") {
    std::vector<Text> out;
    out.reserve(static_cast<std::size_t>(to - from + 1));
    for (int v = from; v <= to; ++v)
        out.push_back(Text(prefix) + decimalText(v));
    return out;
}

// Whether a list is built with its entries, or only its name and default (all a run reads).
enum class Entries { Listed, Omitted };

ComboList declaredCombo(const std::string& name, Entries entries) {
    const ParamDeclaration* p = declaredParam(name);
    if (!p) throw std::logic_error("no parameter " + name);
    ComboList list{name, {}, p->defaultText};
    if (entries == Entries::Omitted) return list;
    if (p->kind == ParamKind::Count) {
        list.entries = range(p->min, p->max);
    } else {
        for (const ListEntry& e : p->entries)
            list.entries.push_back(e.text);
    }
    return list;
}

// The loop generator's editing aids: they set every slot's combo at once and are not read by the
// run.
std::vector<ComboList> editingAids(Entries entries) {
    std::vector<ComboList> aids;
    aids.push_back({"Combo44", {u"すべてインクリメント", u"すべてデクリメント"}, u"すべてインクリメント"});
    aids.push_back(
        {"Combo45", entries == Entries::Listed ? range(1, 999, u"すべて") : std::vector<Text>{}, u"すべて1"});
    ComboList zeros{"Combo46", {}, u"すべて0"};
    for (const ListEntry& e : declaredParam("ComboFm(0)")->entries)
        if (entries == Entries::Listed) zeros.entries.push_back(u"すべて" + e.text);
    aids.push_back(std::move(zeros));
    return aids;
}

std::string comboName(int n) {
    return "Combo" + std::to_string(n);
}

// The window fills its combos in this order, which its start-up relies on (the closing flag is
// checked between them).
std::vector<ComboList> buildComboLists(Entries entries) {
    std::vector<ComboList> lists;
    auto add = [&](const std::string& name) { lists.push_back(declaredCombo(name, entries)); };
    for (int n = 1; n <= 27; ++n)
        add(comboName(n));
    for (int n : {30, 29, 28})
        add(comboName(n));
    for (int n = 31; n <= 43; ++n)
        add(comboName(n));
    for (const char* array : {"ComboId", "ComboStep", "ComboFm"})
        for (int i = 0; i < kLoopSlotCount; ++i)
            add(arrayName(array, i));
    for (ComboList& aid : editingAids(entries))
        lists.push_back(std::move(aid));
    for (int n : {47, 49, 48, 50, 51, 52, 53, 54, 55, 56, 57, 58})
        add(comboName(n));
    // The combos of operations added since come last, in the order they are declared.
    for (const OperationDeclaration* op : operations()) {
        for (const ParamDeclaration& p : op->params) {
            const bool combo = p.control.starts_with("Combo");
            const bool listed = std::any_of(lists.begin(), lists.end(),
                                            [&](const ComboList& l) { return l.name == p.control; });
            if (combo && !listed) add(p.control);
        }
    }
    return lists;
}

// The boxes that only select an operation or lie under an AllReset button to take the focus.
constexpr int kSmallBoxes[] = {9, 10, 25, 35, 36, 37, 39, 40};

std::vector<TextBoxDefault> buildTextBoxDefaults() {
    std::vector<TextBoxDefault> boxes;
    for (const OperationDeclaration* op : operations()) {
        for (const ParamDeclaration& p : op->params)
            if (p.control.starts_with("Text")) boxes.push_back({p.control, p.defaultText, p.multiLine});
    }
    for (int n : kSmallBoxes)
        boxes.push_back({"Text" + std::to_string(n), u"", false});
    auto number = [](const TextBoxDefault& box) { return std::stoi(box.name.substr(4)); };
    std::sort(boxes.begin(), boxes.end(),
              [&](const TextBoxDefault& a, const TextBoxDefault& b) { return number(a) < number(b); });
    return boxes;
}

std::vector<std::string> declaredControls(ParamKind kind) {
    std::vector<std::string> names;
    for (const OperationDeclaration* op : operations())
        for (const ParamDeclaration& p : op->params)
            if (p.kind == kind) names.push_back(p.control);
    return names;
}

}  // namespace

const std::vector<ComboList>& comboLists() {
    static const std::vector<ComboList> lists = buildComboLists(Entries::Listed);
    return lists;
}

const ComboList& comboList(std::string_view name) {
    for (const ComboList& list : comboLists())
        if (list.name == name) return list;
    throw std::out_of_range("no combo " + std::string(name));
}

const std::vector<LoadStep>& loadSteps() {
    static const std::vector<LoadStep> steps = [] {
        std::vector<LoadStep> out;
        for (const ComboList& list : comboLists()) {
            if (list.name == "Combo54")
                for (const char* box : {"Text11", "Text38", "Text41"})
                    out.push_back({.textBox = box});
            out.push_back({.list = &list, .textBox = {}});
        }
        return out;
    }();
    return steps;
}

const std::vector<TextBoxDefault>& textBoxDefaults() {
    static const std::vector<TextBoxDefault> boxes = buildTextBoxDefaults();
    return boxes;
}

const std::vector<std::string>& checkBoxNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out = declaredControls(ParamKind::Check);
        out.emplace_back("Check2");
        out.emplace_back("Check3");
        return out;
    }();
    return names;
}

Text checkBoxDefault(std::string_view name) {
    if (const ParamDeclaration* p = declaredParam(name)) return p->defaultText;
    // The loop generator's selector starts ticked, its editing aid clear.
    return name == "Check3" ? u"1" : u"0";
}

const std::vector<std::string>& datePickerNames() {
    static const std::vector<std::string> names = declaredControls(ParamKind::Date);
    return names;
}

ControlTexts ControlTexts::defaults(Date today) {
    static const std::vector<ComboList> combos = buildComboLists(Entries::Omitted);
    ControlTexts texts;
    for (const ComboList& list : combos)
        texts.m_values[list.name] = list.defaultText;
    for (const TextBoxDefault& box : textBoxDefaults())
        texts.m_values[box.name] = box.defaultText;
    for (const std::string& name : checkBoxNames())
        texts.m_values[name] = checkBoxDefault(name);
    for (const std::string& name : datePickerNames())
        texts.m_values[name] = formatDate(today);
    return texts;
}

bool ControlTexts::isControl(std::string_view name) {
    static const ControlTexts known = defaults(Date{2000, 1, 1});
    return known.has(name);
}

const Text& ControlTexts::text(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) throw std::out_of_range("no control " + std::string(name));
    return it->second;
}

void ControlTexts::set(std::string_view name, Text value) {
    const auto it = m_values.find(name);
    if (it != m_values.end()) {
        it->second = std::move(value);
    } else {
        m_values.emplace(std::string(name), std::move(value));
    }
}

}  // namespace kivo::window
