#pragma once

#include "ops/operation.h"

namespace kivo {

/// Code 13: "行数：" followed by the number of lines of the upper text (line breaks plus one).
std::optional<Text> CountLines(TextView upper, const NoOptions& options, RunContext& ctx);
/// CountLines on valid UTF-8 bytes, giving the UTF-8 of its result.
std::optional<std::string> CountLinesUtf8(std::string_view upper, const NoOptions& options, RunContext& ctx);

struct ExtractLineOptions {
    Text lineNumber;  // as typed: decimal digits 1..2147483647
};

/// Code 14: one line of the upper text, without its line break.
std::optional<Text> ExtractLine(TextView upper, const ExtractLineOptions& options, RunContext& ctx);

extern const LazyOperation kCountLines;
extern const LazyOperation kExtractLine;

}  // namespace kivo
