#include "cli/arguments.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "cli/files.h"
#include "ops/registry.h"
#include "text/dates.h"
#include "text/utf8.h"

namespace kivo::cli {
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

// The words of an option that takes one of a few, and "a, b or c" to name them in its usage error.
std::string oneOf(const std::vector<std::string>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return list;
}

template <typename Value>
Value parseWord(const std::string& option, const std::vector<std::pair<std::string, Value>>& words,
                const std::string& value) {
    std::vector<std::string> names;
    for (const auto& [word, meant] : words) {
        if (word == value) return meant;
        names.push_back(word);
    }
    throw UsageError{"--" + option + " takes " + oneOf(names) + ", not '" + value + "'"};
}

EncodingChoice parseInputEncoding(const std::string& value) {
    std::vector<std::pair<std::string, EncodingChoice>> words = {{"auto", std::nullopt}};
    for (const auto& [word, encoding] : encodingWords(true))
        words.emplace_back(word, encoding);
    return parseWord("encoding", words, value);
}

unsigned parseJobs(const std::string& value) {
    if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(value) < 1)
        throw UsageError{"--jobs takes a number of at least 1, not '" + value + "'"};
    return static_cast<unsigned>(std::stoi(value));
}

// A word of the form `--name=value` or `--name` (then `value` comes from the next word when the
// option takes one).
struct OptionWord {
    std::string name;
    std::optional<std::string> value;
};

std::optional<OptionWord> optionWord(const std::string& word) {
    if (word.size() < 3 || word.rfind("--", 0) != 0) return std::nullopt;
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos) return OptionWord{word.substr(2), std::nullopt};
    return OptionWord{word.substr(2, eq - 2), word.substr(eq + 1)};
}

// The words take their values one after the other: `next` gives the next word as an option's
// value, or fails when there is none.
class Words {
public:
    explicit Words(const std::vector<std::string>& words) : m_words(words) {}
    bool done() const { return m_at >= m_words.size(); }
    std::size_t taken() const { return m_at; }
    const std::string& take() { return m_words[m_at++]; }
    std::string valueOf(const OptionWord& option) {
        if (option.value) return *option.value;
        if (done()) throw UsageError{"--" + option.name + " needs a value"};
        return take();
    }

private:
    const std::vector<std::string>& m_words;
    std::size_t m_at = 0;
};

// The settings' own options; false for any other word.
bool takeSetting(const std::string& word, Words& words, Settings& settings) {
    if (word == "-o") {
        if (words.done()) throw UsageError{"-o needs a file name"};
        settings.output = words.take();
        return true;
    }
    const std::optional<OptionWord> option = optionWord(word);
    if (!option) return false;
    const std::string& name = option->name;
    if (name == "answer") {
        settings.answers.push_back(parseWord<Answer>(
            "answer", {{"yes", Answer::Yes}, {"no", Answer::No}, {"cancel", Answer::Cancel}},
            words.valueOf(*option)));
    } else if (name == "encoding") {
        settings.encoding = parseInputEncoding(words.valueOf(*option));
    } else if (name == "output-encoding") {
        settings.outputEncoding = parseWord("output-encoding", encodingWords(false), words.valueOf(*option));
    } else if (name == "line-breaks") {
        settings.lineBreaks = parseWord<LineBreaks>(
            "line-breaks", {{"keep", LineBreaks::Keep}, {"crlf", LineBreaks::CrLf}, {"lf", LineBreaks::Lf}},
            words.valueOf(*option));
    } else if (name == "unmappable") {
        settings.questionMarks = parseWord<bool>("unmappable", {{"refuse", false}, {"question-mark", true}},
                                                 words.valueOf(*option));
    } else if (name == "output") {
        settings.output = words.valueOf(*option);
    } else if (name == "output-dir") {
        settings.outputDir = words.valueOf(*option);
    } else if (name == "in-place" && !option->value) {
        settings.inPlace = true;
    } else if (name == "jobs") {
        settings.jobs = parseJobs(words.valueOf(*option));
    } else if (name == "quiet" && !option->value) {
        settings.quiet = true;
    } else {
        return false;
    }
    return true;
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
    const std::optional<AliasedParam> aliased = paramAliased(name);
    if (!aliased) throw UsageError{"unknown control '" + name + "'"};
    const Text value = decoded(word.substr(eq + 1), name);
    checkVariantText(name, *aliased->param, value);
    if (aliased->op == call.op) call.options.emplace_back(aliased->param->option, value);
}

// A replacement list kept in a file of its own, one find<Tab>replacement pair a line: --rules=FILE
// reads it as an input file is read, its encoding detected, for an operation that takes pairs.
bool takeRulesFile(const OptionWord& option, Words& words, OperationCall& call) {
    const ParamDeclaration* pairs = call.op->param(kRulesFileOption);
    if (option.name != "rules" || !pairs) return false;
    constexpr std::uint64_t kMaxRulesBytes = std::uint64_t{1} << 24;
    std::string note;
    const FileText rules = readTextFile(words.valueOf(option), std::nullopt, kMaxRulesBytes, note);
    call.options.emplace_back(pairs->option, rules.text);
    return true;
}

// An option of the operation's declaration; false when the word is none.
bool takeOperationOption(const std::string& word, Words& words, OperationCall& call) {
    const std::optional<OptionWord> option = optionWord(word);
    if (!option) return false;
    if (takeRulesFile(*option, words, call)) return true;
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

[[noreturn]] void unknownOption(const std::string& word, const OperationDeclaration* op) {
    std::string message = "unknown option '" + word + "'";
    if (op) message += " for " + op->name + " (its options: " + optionList(*op) + ")";
    throw UsageError{message};
}

}  // namespace

std::vector<std::pair<std::string, TextEncoding>> encodingWords(bool input) {
    std::vector<std::pair<std::string, TextEncoding>> words = {{"utf-8", TextEncoding::Utf8}};
    // UTF-8 is read with or without its mark.
    if (!input) words.emplace_back("utf-8-bom", TextEncoding::Utf8WithMark);
    words.insert(words.end(), {{"cp932", TextEncoding::Cp932},
                               {"utf-16le", TextEncoding::Utf16Le},
                               {"utf-16be", TextEncoding::Utf16Be},
                               {"euc-jp", TextEncoding::EucJp}});
    return words;
}

const OperationDeclaration& operationCalled(const std::string& name) {
    if (const OperationDeclaration* op = operationNamed(name)) return *op;
    const std::string expected =
        " (see 'kivoautofill-cli list'; codes 0 to " + std::to_string(operations().size() - 1) + ")";
    if (name.empty() || name.size() > 2 || name.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"unknown operation '" + name + "'" + expected};
    const int code = std::stoi(name);
    if (!isOperationCode(code)) throw UsageError{"unknown operation code '" + name + "'" + expected};
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

std::size_t parseLeadingSettings(const std::vector<std::string>& list, Settings& settings) {
    Words words(list);
    std::size_t taken = 0;
    while (!words.done() && takeSetting(words.take(), words, settings))
        taken = words.taken();
    return taken;
}

void parseWords(const std::vector<std::string>& list, OperationCall& call, Settings& settings) {
    Words words(list);
    bool onlyFiles = false;
    while (!words.done()) {
        const std::string& word = words.take();
        if (onlyFiles) {
            settings.files.push_back(word);
        } else if (word == "--") {
            onlyFiles = true;
        } else if (takeSetting(word, words, settings) || takeOperationOption(word, words, call)) {
        } else if (isControlWord(word)) {
            takeControl(word, call);
        } else if (word.size() > 1 && word[0] == '-') {
            unknownOption(word, call.op);
        } else {
            settings.files.push_back(word);
        }
    }
}

OperationCall parseStep(const std::vector<std::string>& list) {
    if (list.empty()) throw UsageError{"a step names no operation"};
    OperationCall call{&operationCalled(list[0]), {}};
    Words words(list);
    words.take();
    while (!words.done()) {
        const std::string& word = words.take();
        if (takeOperationOption(word, words, call)) continue;
        if (isControlWord(word)) {
            takeControl(word, call);
            continue;
        }
        unknownOption(word, call.op);
    }
    return call;
}

void parseRunWords(const std::vector<std::string>& list, Settings& settings) {
    Words words(list);
    bool onlyFiles = false;
    while (!words.done()) {
        const std::string& word = words.take();
        if (onlyFiles || (word.size() <= 1 || word[0] != '-')) {
            settings.files.push_back(word);
        } else if (word == "--") {
            onlyFiles = true;
        } else if (!takeSetting(word, words, settings)) {
            unknownOption(word, nullptr);
        }
    }
}

}  // namespace kivo::cli
