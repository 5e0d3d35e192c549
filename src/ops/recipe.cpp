#include "ops/recipe.h"

#include <algorithm>
#include <utility>

#include "text/utf8.h"

namespace kivo {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The words of a step, read a line at a time: a line that ends in a backslash goes on with the
// next line, as in a shell, the word it ends in too.
class WordScanner {
public:
    /// Reads `line`; false when it ends in a backslash, so that the next line goes on with it.
    bool scan(std::string_view line);
    /// The words read, after which the next step begins.
    std::vector<std::string> take();

private:
    void endWord();

    std::vector<std::string> m_words;
    std::string m_word;
    bool m_inWord = false;
};

bool WordScanner::scan(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (isBlank(c)) {
            endWord();
        } else if (c == '#' && !m_inWord) {
            break;
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) throw UsageError{"a ' is not closed"};
            m_word.append(line.substr(i + 1, end - i - 1));
            m_inWord = true;
            i = end;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) throw UsageError{"a \" is not closed"};
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
                    ++i;
                m_word.push_back(line[i]);
            }
            m_inWord = true;
        } else if (c == '\\') {
            // The Cr of a CrLf line break is part of the line's end.
            if (line.find_first_not_of('\r', i + 1) == std::string_view::npos) return false;
            m_word.push_back(line[++i]);
            m_inWord = true;
        } else {
            m_word.push_back(c);
            m_inWord = true;
        }
    }
    endWord();
    return true;
}

std::vector<std::string> WordScanner::take() {
    endWord();
    return std::exchange(m_words, {});
}

void WordScanner::endWord() {
    if (m_inWord) m_words.push_back(std::exchange(m_word, {}));
    m_inWord = false;
}

bool isPlainWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("_.,:/+=@%-").find(c) != std::string_view::npos;
}

// The word a value takes after `--option=`: a list entry by its alias, a check box as yes or no.
// A list that reads any other text as its last entry is written as that entry, which the reader
// takes; another list's other text cannot be written.
std::optional<std::string> valueWord(const ParamDeclaration& p, const Text& text) {
    if (p.kind == ParamKind::Check) return text == u"1" ? "yes" : "no";
    if (p.kind != ParamKind::List) return utf8::encode(text);
    const auto entry =
        std::find_if(p.entries.begin(), p.entries.end(), [&](const ListEntry& e) { return e.text == text; });
    if (entry != p.entries.end()) return entry->alias.empty() ? utf8::encode(text) : entry->alias;
    if (p.otherText == OtherText::IsLastEntry && !p.entries.empty()) return p.entries.back().alias;
    return std::nullopt;
}

RecipeLine lineOf(const OperationDeclaration& op,
                  const std::vector<std::pair<const ParamDeclaration*, Text>>& given) {
    std::string line = op.name;
    for (const auto& [p, text] : given) {
        if (text.find_first_of(u"\r\n") != Text::npos) return {{}, kRecipeLineBreak};
        const std::optional<std::string> value = valueWord(*p, text);
        if (!value) return {{}, kRecipeValueRefused};
        line += ' ' + shellWord("--" + p->option + "=" + *value);
    }
    // A value the reader would refuse (a count out of its range, a date that is none) makes no
    // line: the recipe would stop at it later, far from where it was made.
    try {
        parseStep(splitWords(line));
    } catch (const UsageError&) {
        return {{}, kRecipeValueRefused};
    }
    return {line, {}};
}

}  // namespace

std::vector<std::string> splitWords(std::string_view line) {
    WordScanner scanner;
    scanner.scan(line);
    return scanner.take();
}

std::vector<RecipeStep> parseRecipe(std::string_view text, const std::string& name,
                                    const RulesFileReader& readRules) {
    std::vector<RecipeStep> steps;
    WordScanner scanner;
    std::size_t number = 0;
    std::string where;  // the place of the line the step starts on
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        if (where.empty()) where = name + ":" + std::to_string(number) + ": ";
        try {
            if (!scanner.scan(line) && end != text.size()) continue;
            const std::vector<std::string> words = scanner.take();
            if (!words.empty()) steps.push_back({parseStep(words, readRules), where});
        } catch (const UsageError& e) {
            throw UsageError{where + e.message};
        }
        where.clear();
        if (end == text.size()) break;
    }
    if (steps.empty()) throw UsageError{name + ": the recipe has no step"};
    return steps;
}

std::string shellWord(std::string_view word) {
    if (!word.empty() && std::all_of(word.begin(), word.end(), isPlainWordCharacter))
        return std::string(word);
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

RecipeLine recipeLine(const OperationDeclaration& op, const OptionTexts& texts) {
    std::vector<std::pair<const ParamDeclaration*, Text>> given;
    for (const ParamDeclaration& p : op.params) {
        const Text& text = texts.text(p.option);
        if (p.kind == ParamKind::Date || text != p.defaultText) given.emplace_back(&p, text);
    }
    return lineOf(op, given);
}

RecipeLine recipeLine(const OperationCall& call) {
    std::vector<std::pair<const ParamDeclaration*, Text>> given;
    for (const ParamDeclaration& p : call.op->params) {
        const auto last = std::find_if(call.options.rbegin(), call.options.rend(),
                                       [&](const auto& option) { return option.first == p.option; });
        if (last != call.options.rend()) given.emplace_back(&p, last->second);
    }
    return lineOf(*call.op, given);
}

}  // namespace kivo
