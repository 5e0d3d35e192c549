#pragma once

#include "ops/operation.h"

namespace kivo {

enum class WidthDirection { ToHalf, ToFull };

// Ticked by default: a box whose text fails to read is no refusal, only a box read as clear is.
struct WidthOptions {
    WidthDirection direction = WidthDirection::ToHalf;
    bool letters = true;   // A–Z a–z
    bool digits = true;    // 0–9
    bool symbols = true;   // the other printable ASCII characters
    bool katakana = true;  // katakana and the Japanese punctuation that has half-width forms
    bool spaces = true;    // the space
};

/// Code 35: the chosen classes of characters converted between their full-width and half-width
/// forms; everything else, line breaks included, is kept.
std::optional<Text> ConvertWidth(TextView upper, const WidthOptions& options, RunContext& ctx);

extern const LazyOperation kConvertWidth;

}  // namespace kivo
