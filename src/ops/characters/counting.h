#pragma once

#include "ops/operation.h"

namespace kivo {

enum class CountMode {
    CharactersWithoutLineBreaks,
    LineBreakAsOne,
    LineBreakAsTwo,
    BytesWithoutLineBreaks,
    AllBytes,  // line breaks and BS included
};

struct CountCharactersOptions {
    CountMode mode = CountMode::CharactersWithoutLineBreaks;
};

/// Code 1: the number of characters or code page 932 bytes of the upper text, as one report line.
std::optional<Text> CountCharacters(TextView upper, const CountCharactersOptions& options, RunContext& ctx);

enum class LetterClass { HalfLower, HalfUpper, FullLower, FullUpper };

struct CountLetterClassOptions {
    LetterClass letters = LetterClass::HalfLower;
};

/// Code 3: the number of Latin letters of one class (half or full width, lower or upper case), as
/// one report line.
std::optional<Text> CountLetterClass(TextView upper, const CountLetterClassOptions& options, RunContext& ctx);

extern const LazyOperation kCountCharacters;
extern const LazyOperation kCountLetterClass;

}  // namespace kivo
