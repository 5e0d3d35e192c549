#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "text/errors.h"
#include "text/lines.h"
#include "text/run_control.h"

namespace kivo {

/// Why a row could not be read.
enum class CsvFault { UnclosedQuote, TextAfterQuote };

/// A malformed row and the line (1-based, a CrLf counting as one break) where it starts.
struct MalformedRow {
    std::size_t line = 0;
    CsvFault fault = CsvFault::UnclosedQuote;
};

/// What becomes of a malformed row: the reading stops with a message, or the row is left out.
enum class MalformedRows { Stop, LeaveOut };

/// A malformed row that stopped the reading.
class CsvError : public RefusedInput {
public:
    explicit CsvError(const MalformedRow& row);
    const MalformedRow& row() const { return m_row; }

private:
    MalformedRow m_row;
};

/// True when `c` can separate fields: anything but a quote, Cr, Lf or half of a surrogate pair.
bool isCsvSeparator(char16_t c);

/// The rows of a CSV or TSV text as RFC 4180 and Python's csv module read them: a field that
/// starts with a quote runs to the next lone quote and may hold separators, line breaks (kept as
/// they are) and doubled quotes; a quote inside an unquoted field is an ordinary character; a
/// CrLf, Cr or Lf outside quotes ends a row; an empty line is a row without fields; a separator
/// at the end of a row ends it with an empty field. Fields are views of the text (which must
/// outlive the table) except those that held a doubled quote.
class CsvTable {
public:
    /// Reads `text`; a malformed row stops it (a CsvError) or is left out; nothing when stopped.
    /// A separator that isCsvSeparator refuses, or a text beyond 2^31 units, is refused.
    static std::optional<CsvTable> read(TextView text, char16_t separator, MalformedRows malformed,
                                        const RunControl& control);

    std::size_t rowCount() const { return m_rowStarts.size() - 1; }
    std::size_t fieldCount(std::size_t row) const { return m_rowStarts[row + 1] - m_rowStarts[row]; }
    /// The field at a 0-based column, empty when the row is shorter.
    TextView field(std::size_t row, std::size_t column) const;
    /// The row as it stands in the text (without its line break) when it holds no quote, so that
    /// it is written back with the same separator unchanged; nothing otherwise.
    std::optional<TextView> plainRow(std::size_t row) const;
    char16_t separator() const { return m_separator; }
    /// The text ended with a line break, so that the rows written back do too.
    bool endsWithLineBreak() const { return m_endsWithLineBreak; }
    /// The length of the text read, in UTF-16 units.
    std::size_t sourceLength() const { return m_text.size(); }
    /// The rows left out, in order.
    const std::vector<MalformedRow>& leftOut() const { return m_leftOut; }

private:
    friend class CsvReader;
    // A field's place: in the text, or (top bit set) in the unquoted copies.
    struct FieldRef {
        std::uint32_t start;
        std::uint32_t length;
    };
    static constexpr std::uint32_t kCopied = std::uint32_t{1} << 31;

    TextView m_text;
    char16_t m_separator = u',';
    Text m_unquoted;
    std::vector<FieldRef> m_fields;
    std::vector<std::size_t> m_rowStarts{0};
    std::vector<bool> m_quotedRows;
    std::vector<MalformedRow> m_leftOut;
    bool m_endsWithLineBreak = false;
};

/// 0-based column indexes from a list of 1-based column numbers and ranges ("3,1,2", "2-4",
/// full-width digits, "，" and "、" alike, blanks ignored), in the order given; an empty list, 0,
/// a reversed range, a number above 1,000,000 or anything else is refused.
std::vector<std::size_t> parseColumns(TextView list);

/// The table written back with `separator` as Python's csv writer (QUOTE_MINIMAL) writes it: a
/// field is quoted only when it holds the separator, a quote, Cr or Lf (or is a row's only field
/// and empty); every row ends with CrLf, the last only when the text ended with a line break.
/// Writing with another separator converts between CSV and TSV. Nothing when stopped.
std::optional<Text> writeCsv(const CsvTable& table, char16_t separator, const RunControl& control);

/// Only the given columns in the given order; a column a row lacks is an empty field, and an
/// empty line stays empty.
std::optional<Text> takeColumns(const CsvTable& table, const std::vector<std::size_t>& columns,
                                char16_t separator, const RunControl& control);

/// Every column but the given ones.
std::optional<Text> removeColumns(const CsvTable& table, const std::vector<std::size_t>& columns,
                                  char16_t separator, const RunControl& control);

/// How the fields of a key column compare: by UTF-16 code units, by numeric value (as the
/// program reads a number: "12円" is 12, "abc" 0), or by a given order (the natural order of the
/// operations, which below zero puts a before b).
struct KeyOrder {
    enum class Kind { CodeUnits, Numeric, Custom };
    Kind kind = Kind::CodeUnits;
    int (*compare)(TextView a, TextView b) = nullptr;
};

struct RowSort {
    /// 0-based; a row without it has an empty key.
    std::size_t column = 0;
    KeyOrder order;
    bool descending = false;
    /// The first row stays first.
    bool header = false;
};

/// The rows sorted by one column, rows of equal keys in their order; nothing when stopped.
std::optional<Text> sortRows(const CsvTable& table, const RowSort& sort, char16_t separator,
                             const RunControl& control);

/// The rows whose key column (0-based; missing is empty) repeats that of an earlier row left
/// out, the first row kept out of the comparison when it is a header.
std::optional<Text> removeDuplicateRows(const CsvTable& table, std::size_t column, bool header,
                                        char16_t separator, const RunControl& control);

}  // namespace kivo
