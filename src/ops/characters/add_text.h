#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct AddTextOptions {
    Listed<Side> side = {Side::Left, u"左"};
    Text text;
};

/// Code 4: a text added at the start or the end of every line. Line breaks come out as CrLf.
std::optional<Text> AddTextAtSide(TextView upper, const AddTextOptions& options, RunContext& ctx);

/// Code 11: one tab put at the start of every line, empty lines included.
std::optional<Text> IndentLinesWithTab(TextView upper, const NoOptions& options, RunContext& ctx);

extern const LazyOperation kAddTextAtSide;
extern const LazyOperation kIndentLinesWithTab;

}  // namespace kivo
