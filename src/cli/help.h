#pragma once

#include <string>
#include <vector>

#include "ops/operation.h"

namespace kivo::cli {

/// The text of --help.
std::string usageText();

/// One line per operation: code, name, description and the window's caption.
std::string operationList();

/// An operation's options with their values, defaults and controls, and its example.
std::string operationHelp(const OperationDeclaration& op);

/// The words a shell may complete the word at `index` of `words` (the words after the program's
/// name) with, one per line; the word itself is what has been typed of it.
std::string completions(const std::vector<std::string>& words, std::size_t index);

}  // namespace kivo::cli
