#include "ops/option_words.h"

#include <algorithm>
#include <cctype>

#include "ops/registry.h"
#include "text/dates.h"
#include "text/utf8.h"

namespace kivo {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

Text decoded(const std::string& value, const std::string& what) {
    const std::optional<Text> text = utf8::decode(value);
    if (!text) throw UsageError{"the value of " + what + " is not valid UTF-8"};
    return *text;
}

// A whole number in half-width or full-width digits (as the window's boxes take them).
std::optional<long long> wholeNumber(const Text& text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    long long value = 0;
    for (char16_t c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        if (c >= u'０' && c <= u'９') digit = c - u'０';
        if (digit < 0) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// A text a list control's rule would never leave would run nothing without a word, or end in the
// operation's error message: as the list's option does, the usage error names the entries. Only
// a list that reads any other text as its last entry takes it. A check box holds 1 or 0.
void checkVariantText(const std::string& control, const ParamDeclaration& p, const Text& value) {
    if (p.kind == ParamKind::Check && value != u"1" && value != u"0")
        throw UsageError{"the value of " + control + " must be 1 or 0"};
    if (p.kind != ParamKind::List || p.isEntry(value) || p.otherText == OtherText::IsLastEntry) return;
    std::string entries;
    for (const ListEntry& e : p.entries)
        entries += (entries.empty() ? "" : ", ") + utf8::encode(e.text);
    throw UsageError{"the value of " + control + " must be one of: " + entries};
}

// `Name=value` with a name made of a control's characters: the window's form.
bool isControlWord(const std::string& word) {
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0 || word[0] == '-') return false;
    return std::all_of(word.begin(), word.begin() + static_cast<std::ptrdiff_t>(eq), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '(' || c == ')';
    });
}

// A control of another operation is taken and left unread, as the window leaves it.
void takeControl(const std::string& word, OperationCall& call) {
    const std::size_t eq = word.find('=');
    const std::string name = word.substr(0, eq);
    // The called operation's own controls are found without declaring every other operation.
    const ParamDeclaration* own = call.op->paramAliased(name);
    const std::optional<AliasedParam> aliased = own ? AliasedParam{call.op, own} : paramAliased(name);
    if (!aliased) throw UsageError{"unknown control '" + name + "'"};
    const Text value = decoded(word.substr(eq + 1), name);
    checkVariantText(name, *aliased->param, value);
    if (aliased->op == call.op) call.options.emplace_back(aliased->param->option, value);
}

// A replacement list kept in a file of its own, one find<Tab>replacement pair a line.
bool takeRulesFile(const OptionWord& option, Words& words, OperationCall& call,
                   const RulesFileReader& readRules) {
    const ParamDeclaration* pairs = call.op->param(kRulesFileOption);
    if (option.name != "rules" || !pairs || !readRules) return false;
    call.options.emplace_back(pairs->option, readRules(words.valueOf(option)));
    return true;
}

// An option of the operation's declaration; false when the word is none.
bool takeOperationOption(const std::string& word, Words& words, OperationCall& call,
                         const RulesFileReader& readRules) {
    const std::optional<OptionWord> option = optionWord(word);
    if (!option) return false;
    if (takeRulesFile(*option, words, call, readRules)) return true;
    const auto& params = call.op->params;
    const auto p = std::find_if(params.begin(), params.end(),
                                [&](const ParamDeclaration& d) { return d.option == option->name; });
    if (p == params.end()) return false;
    // A check box's option alone ticks it.
    const std::string value = p->kind == ParamKind::Check && !option->value ? "yes" : words.valueOf(*option);
    call.options.emplace_back(p->option, controlText(*p, value));
    return true;
}

std::string optionList(const OperationDeclaration& op) {
    std::string names;
    for (const ParamDeclaration& p : op.params)
        names += (names.empty() ? "--" : ", --") + p.option;
    return names.empty() ? "none" : names;
}

}  // namespace

std::optional<OptionWord> optionWord(const std::string& word) {
    if (word.size() < 3 || word.rfind("--", 0) != 0) return std::nullopt;
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos) return OptionWord{word.substr(2), std::nullopt};
    return OptionWord{word.substr(2, eq - 2), word.substr(eq + 1)};
}

std::string Words::valueOf(const OptionWord& option) {
    if (option.value) return *option.value;
    if (done()) throw UsageError{"--" + option.name + " needs a value"};
    return take();
}

const OperationDeclaration& operationCalled(const std::string& name) {
    if (const OperationDeclaration* op = operationNamed(name)) return *op;
    const auto expected = [] {
        return " (see 'kivoautofill-cli list'; codes 0 to " + std::to_string(operations().size() - 1) + ")";
    };
    if (name.empty() || name.size() > 2 || name.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"unknown operation '" + name + "'" + expected()};
    const int code = std::stoi(name);
    if (!isOperationCode(code)) throw UsageError{"unknown operation code '" + name + "'" + expected()};
    return operation(code);
}

std::string valuesOf(const ParamDeclaration& p) {
    switch (p.kind) {
        case ParamKind::List: {
            std::string values;
            for (const ListEntry& e : p.entries)
                values += (values.empty() ? "" : ", ") + e.alias + " (" + utf8::encode(e.text) + ")";
            return values;
        }
        case ParamKind::Count:
            return "a whole number from " + std::to_string(p.min) + " to " + std::to_string(p.max);
        case ParamKind::Check:
            return "yes or no";
        case ParamKind::Date:
            return "a date yyyy/mm/dd";
        case ParamKind::String:
            break;
    }
    return p.multiLine ? "any text, several lines allowed" : "any text on one line";
}

Text controlText(const ParamDeclaration& p, const std::string& value) {
    const Text text = decoded(value, "--" + p.option);
    auto refuse = [&]() -> Text {
        throw UsageError{"--" + p.option + " takes " + valuesOf(p) + ", not '" + value + "'"};
    };
    switch (p.kind) {
        case ParamKind::List:
            for (const ListEntry& e : p.entries)
                if (e.text == text || e.alias == lower(value)) return e.text;
            return refuse();
        case ParamKind::Count: {
            const std::optional<long long> n = wholeNumber(text);
            if (!n || *n < p.min || *n > p.max) return refuse();
            return decimalText(*n);
        }
        case ParamKind::Check: {
            const std::string v = lower(value);
            if (v == "yes" || v == "1" || v == "true" || v == "on") return u"1";
            if (v == "no" || v == "0" || v == "false" || v == "off") return u"0";
            return refuse();
        }
        case ParamKind::Date: {
            Text date = text;
            std::replace(date.begin(), date.end(), u'-', u'/');
            if (!parseDate(date)) return refuse();
            return date;
        }
        case ParamKind::String:
            if (!p.multiLine && text.find_first_of(u"\r\n") != Text::npos) return refuse();
            return text;
    }
    return refuse();
}

OptionTexts OperationCall::texts(Date today) const {
    OptionTexts texts = OptionTexts::defaults(*op, today);
    for (const auto& [option, text] : options)
        texts.set(option, text);
    return texts;
}

bool takeOperationWord(const std::string& word, Words& words, OperationCall& call,
                       const RulesFileReader& readRules) {
    if (takeOperationOption(word, words, call, readRules)) return true;
    if (!isControlWord(word)) return false;
    takeControl(word, call);
    return true;
}

void unknownOption(const std::string& word, const OperationDeclaration* op) {
    std::string message = "unknown option '" + word + "'";
    if (op) message += " for " + op->name + " (its options: " + optionList(*op) + ")";
    throw UsageError{message};
}

OperationCall parseStep(const std::vector<std::string>& list, const RulesFileReader& readRules) {
    if (list.empty()) throw UsageError{"a step names no operation"};
    OperationCall call{&operationCalled(list[0]), {}};
    Words words(list);
    words.take();
    while (!words.done()) {
        const std::string& word = words.take();
        if (!takeOperationWord(word, words, call, readRules)) unknownOption(word, call.op);
    }
    return call;
}

}  // namespace kivo
