#pragma once

#include "ops/operation.h"
#include "text/regex.h"

namespace kivo {

struct PatternReplaceOptions {
    Text pattern;
    Text replacement;
    bool ignoreCase = false;
    RegexScope scope = RegexScope::LineByLine;
    bool all = true;
};

/// Code 50: the matches of a regular expression replaced ($0…$9 in the replacement), line by
/// line or in the whole text, every match or the first; how many were replaced is told after.
std::optional<Text> ReplacePattern(TextView upper, const PatternReplaceOptions& options, RunContext& ctx);

struct PatternExtractOptions {
    Text pattern;
    RegexExtraction extraction = RegexExtraction::MatchingLines;
    bool ignoreCase = false;
    RegexScope scope = RegexScope::LineByLine;
};

/// Code 51: the lines that match a regular expression (or do not), or the matches or their first
/// groups each on a line of its own.
std::optional<Text> ExtractPattern(TextView upper, const PatternExtractOptions& options, RunContext& ctx);

/// The pattern's compile options for a run in `ctx`.
RegexOptions regexOptionsFor(bool ignoreCase, const RunContext& ctx);

extern const LazyOperation kReplacePattern;
extern const LazyOperation kExtractPattern;

}  // namespace kivo
