#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/steps.h"
#include "text/text_encoding.h"

// Line-local operations run a block of lines at a time: memory holds a few blocks whatever the
// input's size, and blocks run on several cores, their results written in order.
namespace kivo::cli {

/// Whether every step is line-local with its options.
bool runsBlockByBlock(const std::vector<Step>& steps);

/// Whether a text in these encodings can be cut into blocks at its Lf bytes (not UTF-16).
bool cutsAtLineBreaks(TextEncoding input, TextEncoding output);

/// What a run a block at a time gave: whether it ended with its result written, its messages,
/// and the input's size.
struct BlockRunEnd {
    bool ok = false;
    std::string messages;
    std::uint64_t inputBytes = 0;
};

/// Where a run's input comes from and its result goes.
struct BlockRunPlaces {
    std::istream& in;
    std::string inputName;                  // "f.txt", "standard input"
    bool inputIsFile = false;               // read twice: its encoding and line breaks found first
    std::optional<std::string> targetPath;  // a file to replace, or (none) `out`
    std::ostream& out;
    std::string messagePrefix;  // "f.txt: " before every message
};

/// Runs the steps a block at a time on an input in `encoding` (detected for a file when none is
/// named) and writes the result where `places` says, in the form the whole text's run would give.
/// Nothing is written when the run ends without a result, except to standard output by steps
/// that always complete, which write as they go. Nothing when the input turns out not to be
/// cut at line breaks (UTF-16): the caller reads it whole.
std::optional<BlockRunEnd> runBlockByBlock(const std::vector<Step>& steps, const Settings& settings,
                                           const BlockRunPlaces& places, EncodingChoice encoding,
                                           unsigned jobs);

}  // namespace kivo::cli
