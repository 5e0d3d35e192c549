#pragma once

#include "ops/operation.h"
#include "text/csv.h"

namespace kivo {

enum class ColumnAction { Take, Remove };

struct CsvColumnsOptions {
    ColumnAction action = ColumnAction::Take;
    Text columns;  // "3,1,2", "2-4"
    Text separator;
    MalformedRows malformed = MalformedRows::Stop;
};

/// Code 46: the given columns of a CSV or TSV text in the given order, or every column but them.
std::optional<Text> SelectCsvColumns(TextView upper, const CsvColumnsOptions& options, RunContext& ctx);

struct CsvConvertOptions {
    Text from;
    Text to;
    MalformedRows malformed = MalformedRows::Stop;
};

/// Code 49: the table written again with another separator (CSV to TSV and back), each field
/// quoted only where the new separator needs it.
std::optional<Text> ConvertCsv(TextView upper, const CsvConvertOptions& options, RunContext& ctx);

extern const LazyOperation kSelectCsvColumns;
extern const LazyOperation kConvertCsv;

}  // namespace kivo
