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

}  // namespace

Text readRulesFile(const std::string& path) {
    constexpr std::uint64_t kMaxRulesBytes = std::uint64_t{1} << 24;
    std::string note;
    return readTextFile(path, std::nullopt, kMaxRulesBytes, note).text;
}

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
        } else if (takeSetting(word, words, settings) ||
                   takeOperationWord(word, words, call, readRulesFile)) {
        } else if (word.size() > 1 && word[0] == '-') {
            unknownOption(word, call.op);
        } else {
            settings.files.push_back(word);
        }
    }
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
