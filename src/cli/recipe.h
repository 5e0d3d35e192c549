#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/steps.h"

namespace kivo::cli {

/// Splits a line into words as a shell does: blanks separate words; '…' keeps everything inside
/// it; "…" keeps everything but a backslash before " \ $ or `; outside quotes a backslash keeps
/// the next character (at the line's end, it joins the next line in a recipe); a # that starts a
/// word starts a comment. An unterminated quote is a usage error.
std::vector<std::string> splitWords(std::string_view line);

/// The steps of a recipe: one per line (a line ending in a backslash goes on with the next), an
/// operation's name or code and its options, blank lines and comments allowed. Any malformed step
/// refuses the whole recipe, naming the line it starts on.
std::vector<Step> parseRecipe(std::string_view text, const std::string& name);

/// parseRecipe() of the file at `path` (in UTF-8, or code page 932 as the window reads it).
std::vector<Step> readRecipe(const std::string& path);

}  // namespace kivo::cli
