#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/option_words.h"

namespace kivo {

/// Refusals of a step that a recipe line cannot hold.
inline constexpr TextView kRecipeLineBreak = u"改行を含む値はレシピに書けません。";
inline constexpr TextView kRecipeValueRefused = u"この処理の条件はレシピに書けません。";

/// One step of a recipe: its operation and options, with the place it came from ("recipe.txt:3: "),
/// which its messages start with.
struct RecipeStep {
    OperationCall call;
    std::string where;
};

/// Splits a line into words as a shell does: blanks separate words; '…' keeps everything inside
/// it; "…" keeps everything but a backslash before " \ $ or `; outside quotes a backslash keeps
/// the next character (at the line's end, it joins the next line in a recipe); a # that starts a
/// word starts a comment. An unterminated quote is a usage error.
std::vector<std::string> splitWords(std::string_view line);

/// The steps of a recipe: one per line (a line ending in a backslash goes on with the next), an
/// operation's name or code and its options, blank lines and comments allowed. Any malformed step
/// refuses the whole recipe, naming the line it starts on.
std::vector<RecipeStep> parseRecipe(std::string_view text, const std::string& name,
                                    const RulesFileReader& readRules = {});

/// A word as a shell reads it back: quoted with '…' unless it is only [A-Za-z0-9_.,:/+=@%-].
std::string shellWord(std::string_view word);

/// A recipe line, or the message that says why the step cannot be one.
struct RecipeLine {
    std::string line;
    TextView refusal;
};

/// The recipe line of `op` run with `texts`: its English name, then `--option=value` for each
/// option that differs from its default (a date always, since its default is the day it runs).
RecipeLine recipeLine(const OperationDeclaration& op, const OptionTexts& texts);
/// The recipe line of a step read from a recipe: its options as given, the last of each kept.
RecipeLine recipeLine(const OperationCall& call);

}  // namespace kivo
