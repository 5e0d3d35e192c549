#pragma once

#include "ops/operation.h"

namespace kivo {

enum class BlankCleaning {
    TrimBothEnds,       // blanks at the start and the end of every line
    TrimEnd,            // blanks at the end of every line
    RemoveBlankLines,   // lines of nothing but blanks
    SqueezeBlankLines,  // each run of such lines becomes one empty line
};

struct BlanksOptions {
    BlankCleaning cleaning = BlankCleaning::TrimBothEnds;
};

/// Code 38: blanks (space, ideographic space, Tab) removed at the line ends, or blank lines
/// removed or squeezed.
std::optional<Text> CleanBlanks(TextView upper, const BlanksOptions& options, RunContext& ctx);

extern const LazyOperation kCleanBlanks;

}  // namespace kivo
