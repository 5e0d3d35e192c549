#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ops/operation.h"

namespace kivo {

/// A command line or recipe the program cannot follow: nothing runs, and the message says why.
struct UsageError {
    std::string message;
};

/// The option that --rules=FILE sets to a file's text: a replacement list's pairs, kept in a file
/// of their own.
inline constexpr const char* kRulesFileOption = "pairs";

/// The text of the file a --rules=FILE word names; it throws what reading the file throws.
using RulesFileReader = std::function<Text(const std::string& path)>;

/// The operation with `name` (its English name) or code.
const OperationDeclaration& operationCalled(const std::string& name);

/// The control text a named option's value stands for: a list entry given in Japanese or by its
/// English alias, a number within the declared range, a check box's yes or no, a date. A value
/// the option does not take is a usage error that names the values it takes.
Text controlText(const ParamDeclaration& param, const std::string& value);

/// The values an option takes, for its help and its usage errors ("left (左), right (右)").
std::string valuesOf(const ParamDeclaration& param);

/// One operation with the texts of the options given, by option name, in the order given.
struct OperationCall {
    const OperationDeclaration* op = nullptr;
    std::vector<std::pair<std::string, Text>> options;

    /// The defaults with the given options set.
    OptionTexts texts(Date today) const;
};

/// A word of the form `--name=value` or `--name` (then `value` comes from the next word when the
/// option takes one).
struct OptionWord {
    std::string name;
    std::optional<std::string> value;
};

/// The option a word names, or nothing when it is no `--name` word.
std::optional<OptionWord> optionWord(const std::string& word);

/// Words taken one after the other, an option's value from the next word when it has none.
class Words {
public:
    explicit Words(const std::vector<std::string>& words) : m_words(words) {}
    bool done() const { return m_at >= m_words.size(); }
    std::size_t taken() const { return m_at; }
    const std::string& take() { return m_words[m_at++]; }
    /// The option's value, or the next word; a usage error when there is none.
    std::string valueOf(const OptionWord& option);

private:
    const std::vector<std::string>& m_words;
    std::size_t m_at = 0;
};

/// Takes `word` (and its value) into `call` when it sets an option of the call's operation, in
/// the named form (`--side=right`) or the window's (`Combo31=右`); false for any other word.
/// `readRules` reads --rules=FILE; without it the word is none of the operation's.
bool takeOperationWord(const std::string& word, Words& words, OperationCall& call,
                       const RulesFileReader& readRules = {});

/// The usage error of a word no one takes, naming the options of `op` when there is one.
[[noreturn]] void unknownOption(const std::string& word, const OperationDeclaration* op);

/// Parses a recipe step's words, which hold the operation and its options only.
OperationCall parseStep(const std::vector<std::string>& words, const RulesFileReader& readRules = {});

}  // namespace kivo
