#pragma once

#include "ops/operation.h"
#include "text/csv.h"

namespace kivo {

enum class KeyKind { CodeUnits, Natural, Numeric };

struct CsvSortOptions {
    Text column;
    KeyKind key = KeyKind::CodeUnits;
    bool descending = false;
    bool header = true;
    Text separator;
    MalformedRows malformed = MalformedRows::Stop;
};

/// Code 47: the rows of a CSV or TSV text sorted by one column, rows of equal keys in their
/// order, a header row kept first.
std::optional<Text> SortCsvRows(TextView upper, const CsvSortOptions& options, RunContext& ctx);

struct CsvUniqueOptions {
    Text column;
    bool header = true;
    Text separator;
    MalformedRows malformed = MalformedRows::Stop;
};

/// Code 48: the rows whose key column repeats that of an earlier row left out.
std::optional<Text> RemoveDuplicateCsvRows(TextView upper, const CsvUniqueOptions& options, RunContext& ctx);

extern const LazyOperation kSortCsvRows;
extern const LazyOperation kRemoveDuplicateCsvRows;

}  // namespace kivo
