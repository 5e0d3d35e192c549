#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_io.h"
#include "ops/operation.h"
#include "ops/option_words.h"
#include "text/text_encoding.h"

namespace kivo::cli {

/// The text of a replacement list kept in a file of its own (--rules=FILE), read as an input file
/// is read, its encoding detected.
Text readRulesFile(const std::string& path);

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

/// Parses the settings and files of `run RECIPE ...` (no operation options) into `settings`.
void parseRunWords(const std::vector<std::string>& words, Settings& settings);

}  // namespace kivo::cli
