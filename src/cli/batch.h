#pragma once

#include <iosfwd>
#include <vector>

#include "cli/steps.h"

namespace kivo::cli {

/// Runs the steps on each file of the settings (or on standard input when there is none) and
/// writes each result where the settings say: standard output or -o for one text, the output
/// folder, or the file itself. Returns the exit status: 0 when every text got a result, 1 when
/// some did not. A usage error is found before anything is written.
int runOnTexts(const std::vector<Step>& steps, const Settings& settings, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace kivo::cli
