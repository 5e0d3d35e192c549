#include "cli/recipe.h"

#include "cli/files.h"
#include "text/utf8.h"

namespace kivo::cli {

std::vector<Step> readRecipe(const std::string& path) {
    if (const std::optional<std::string> fault = inputFileFault(path, false)) throw UsageError{*fault};
    FileText recipe;
    try {
        std::string note;
        recipe = readTextFile(path, std::nullopt, std::uint64_t{1} << 24, note);
    } catch (const std::exception& e) {
        throw UsageError{e.what()};
    }
    return parseRecipe(utf8::encode(recipe.text), path, readRulesFile);
}

}  // namespace kivo::cli
