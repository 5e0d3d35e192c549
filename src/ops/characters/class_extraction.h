#pragma once

#include "ops/operation.h"

namespace kivo {

/// Code 8: of every line only the half-width digits; lines without one disappear.
std::optional<Text> ExtractDigits(TextView upper, const NoOptions& options, RunContext& ctx);

/// Code 9: of every line only the characters that take two bytes in code page 932.
std::optional<Text> ExtractDoubleByteCharacters(TextView upper, const NoOptions& options, RunContext& ctx);

/// Code 10: of every line only the characters that take one byte in code page 932 (those without
/// a code page 932 form included).
std::optional<Text> ExtractHalfWidthCharacters(TextView upper, const NoOptions& options, RunContext& ctx);

extern const LazyOperation kExtractDigits;
extern const LazyOperation kExtractDoubleByteCharacters;
extern const LazyOperation kExtractHalfWidthCharacters;

}  // namespace kivo
