#pragma once

#include "ops/operation.h"
#include "text/replacement_list.h"

namespace kivo {

struct ReplaceListOptions {
    Text rules;  // one find<Tab>replacement pair a line
    RuleKind kind = RuleKind::Plain;
};

/// Code 52: several find → replacement pairs run in order over the text, as a standing clean-up;
/// how many replacements each made is told after.
std::optional<Text> ReplaceByList(TextView upper, const ReplaceListOptions& options, RunContext& ctx);

extern const LazyOperation kReplaceByList;

}  // namespace kivo
