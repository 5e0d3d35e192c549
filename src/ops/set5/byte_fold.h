#pragma once

#include "ops/operation.h"

namespace kivo {

struct ByteFoldOptions {
    int bytes = 80;  // the most code page 932 bytes a piece takes
};

/// Code 41: every line cut into pieces of at most `bytes` code page 932 bytes, greedily, never
/// inside a character: a character that would pass the limit starts the next piece, and one
/// wider than the limit stands alone. An empty line stays one empty line.
std::optional<Text> BreakLinesByBytes(TextView upper, const ByteFoldOptions& options, RunContext& ctx);

extern const OperationDeclaration kBreakLinesByBytes;

}  // namespace kivo
