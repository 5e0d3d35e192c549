#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_io.h"
#include "ops/operation.h"
#include "text/text_encoding.h"

namespace kivo::cli {

/// A command line or recipe the program cannot follow: exit status 2, nothing written.
struct UsageError {
    std::string message;
};

/// The option that --rules=FILE sets to a file's text: a replacement list's pairs, kept in a file
/// of their own.
inline constexpr const char* kRulesFileOption = "pairs";

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

/// The encoding an input is read in: the one named, or none when it is detected from the bytes.
using EncodingChoice = std::optional<TextEncoding>;

/// The words --encoding (`input`) or --output-encoding take, each with its encoding ("auto" aside).
std::vector<std::pair<std::string, TextEncoding>> encodingWords(bool input);

/// How a result's line breaks are written: as the input's when all of them are alike (keep), or
/// each CrLf as the operation makes it (crlf), or each CrLf as Lf (lf).
enum class LineBreaks { Keep, CrLf, Lf };

/// Everything a command line asks for besides the operation.
struct Settings {
    std::deque<Answer> answers;
    std::optional<EncodingChoice> encoding;      // not given: detected for files, UTF-8 for standard input
    std::optional<TextEncoding> outputEncoding;  // none: the input's
    LineBreaks lineBreaks = LineBreaks::Keep;
    /// --unmappable=question-mark: "?" stands for a character the output encoding cannot hold,
    /// which otherwise refuses the result.
    bool questionMarks = false;
    std::vector<std::string> files;
    std::optional<std::string> output;     // -o FILE
    std::optional<std::string> outputDir;  // --output-dir DIR
    bool inPlace = false;
    unsigned jobs = 0;  // 0: the number of cores
    bool quiet = false;
};

/// Takes the settings given before the operation or `run` (`--quiet add-text …`) into `settings`;
/// returns how many words they took.
std::size_t parseLeadingSettings(const std::vector<std::string>& words, Settings& settings);

/// Parses the words after the operation's name or code: its options (`--side=right`, or the
/// window's control names, `Combo31=右`), the settings and the files. `call.op` must be set.
void parseWords(const std::vector<std::string>& words, OperationCall& call, Settings& settings);

/// Parses a recipe step's words, which hold the operation and its options only.
OperationCall parseStep(const std::vector<std::string>& words);

/// Parses the settings and files of `run RECIPE ...` (no operation options) into `settings`.
void parseRunWords(const std::vector<std::string>& words, Settings& settings);

}  // namespace kivo::cli
