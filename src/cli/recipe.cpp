#include "cli/recipe.h"

#include "cli/files.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (isBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) throw UsageError{"a ' is not closed"};
            word.append(line.substr(i + 1, end - i - 1));
            inWord = true;
            i = end;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) throw UsageError{"a \" is not closed"};
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
                    ++i;
                word.push_back(line[i]);
            }
            inWord = true;
        } else if (c == '\\') {
            if (i + 1 < line.size()) word.push_back(line[++i]);
            inWord = true;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::vector<Step> parseRecipe(std::string_view text, const std::string& name) {
    std::vector<Step> steps;
    std::size_t number = 0;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        const std::string where = name + ":" + std::to_string(number) + ": ";
        try {
            const std::vector<std::string> words = splitWords(line);
            if (!words.empty()) steps.push_back({parseStep(words), where});
        } catch (const UsageError& e) {
            throw UsageError{where + e.message};
        }
        if (end == text.size()) break;
    }
    if (steps.empty()) throw UsageError{name + ": the recipe has no step"};
    return steps;
}

std::vector<Step> readRecipe(const std::string& path) {
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
