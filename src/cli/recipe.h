#pragma once

#include <string>
#include <vector>

#include "cli/steps.h"
#include "ops/recipe.h"

namespace kivo::cli {

/// parseRecipe() of the file at `path` (in UTF-8, or code page 932 as the window reads it).
std::vector<Step> readRecipe(const std::string& path);

}  // namespace kivo::cli
