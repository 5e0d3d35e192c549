#pragma once

#include "ops/operation.h"

namespace kivo {

struct ByteFoldOptions {
    int bytes = 80;          // the most code page 932 bytes a piece takes
    bool lineRules = false;  // 禁則: no 。、」） at a piece's start, no 「（ at its end
};

/// Code 41: every line cut into pieces of at most `bytes` code page 932 bytes, greedily, never
/// inside a character: a character that would pass the limit starts the next piece, and one
/// wider than the limit stands alone. An empty line stays one empty line. With the line rules, a
/// character not allowed at a line start (。、」）ー small kana …) that would start a piece stays
/// on the piece before, one character over the limit; where two such characters follow each
/// other, or the piece would end with one not allowed at a line end (「（), the piece ends
/// earlier instead, as long as it keeps a character.
std::optional<Text> BreakLinesByBytes(TextView upper, const ByteFoldOptions& options, RunContext& ctx);

extern const LazyOperation kBreakLinesByBytes;

}  // namespace kivo
