#pragma once

#include "ops/operation.h"

namespace kivo {

/// Code 15: the upper text reduced to the first occurrence of each character, with the number of
/// repeated occurrences reported; line breaks are removed first when the user agrees.
std::optional<Text> CheckDuplicateCharacters(TextView upper, const NoOptions& options, RunContext& ctx);

extern const LazyOperation kCheckDuplicateCharacters;

}  // namespace kivo
