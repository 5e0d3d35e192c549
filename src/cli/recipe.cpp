#include "cli/recipe.h"

#include <utility>

#include "cli/files.h"
#include "text/utf8.h"

namespace kivo::cli {
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

}  // namespace

std::vector<std::string> splitWords(std::string_view line) {
    WordScanner scanner;
    scanner.scan(line);
    return scanner.take();
}

std::vector<Step> parseRecipe(std::string_view text, const std::string& name) {
    std::vector<Step> steps;
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
            if (!words.empty()) steps.push_back({parseStep(words), where});
        } catch (const UsageError& e) {
            throw UsageError{where + e.message};
        }
        where.clear();
        if (end == text.size()) break;
    }
    if (steps.empty()) throw UsageError{name + ": the recipe has no step"};
    return steps;
}

std::vector<Step> readRecipe(const std::string& path) {
    if (const std::optional<std::string> fault = inputFileFault(path, false)) throw UsageError{*fault};
    FileText recipe;
    try {
        std::string note;
        recipe = readTextFile(path, std::nullopt, std::uint64_t{1} << 24, note);
    } catch (const std::exception& e) {
        throw UsageError{e.what()};
    }
    return parseRecipe(utf8::encode(recipe.text), path);
}

}  // namespace kivo::cli
