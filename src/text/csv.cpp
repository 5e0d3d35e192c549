#include "text/csv.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <unordered_set>
#include <utility>

#include "text/numeric.h"

namespace kivo {
namespace {

constexpr char16_t kQuote = u'"';

bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n';
}

bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// The position after the line break at `at` (a CrLf is one).
std::size_t afterLineBreak(TextView text, std::size_t at) {
    return at + (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1);
}

Text faultJapanese(CsvFault fault) {
    return fault == CsvFault::UnclosedQuote ? u"「\"」で始まる項目が閉じられていません"
                                            : u"閉じる「\"」の後に区切り文字以外の文字があります";
}

}  // namespace

CsvError::CsvError(const MalformedRow& row)
    : RefusedInput("line " + std::to_string(row.line) + ": " +
                       (row.fault == CsvFault::UnclosedQuote ? "a quoted field is not closed"
                                                             : "text after a closing quote"),
                   decimalUnits(row.line) + u"行目：" + faultJapanese(row.fault) + u"。"),
      m_row(row) {}

bool isCsvSeparator(char16_t c) {
    return c != kQuote && !isLineBreak(c) && !isSurrogate(c);
}

// Reads the rows one after another as Python's csv reader does in its strict mode, and a
// malformed row where that reader fails: the reading stops there, or the row is left out and the
// reading goes on where the lenient reader would end the row (after text following a closing
// quote) or at the line after the opening quote (of a quote never closed, which would otherwise
// take the rest of the text with it).
class CsvReader {
public:
    CsvReader(CsvTable& table, TextView text, char16_t separator, MalformedRows malformed)
        : m_table(table), m_text(text), m_separator(separator), m_malformed(malformed) {}

    bool done() const { return m_pos >= m_text.size(); }

    // Reads the row at the reading position and moves past its line break.
    void readRow() {
        const std::size_t rowStart = m_pos;
        const std::size_t firstField = m_table.m_fields.size();
        m_fault.reset();
        m_rowQuoted = false;
        if (!atRowEnd()) readFields(rowStart);
        if (m_fault) {
            m_table.m_leftOut.push_back({lineAt(rowStart), *m_fault});
            m_table.m_fields.resize(firstField);
        } else {
            m_table.m_rowStarts.push_back(m_table.m_fields.size());
            m_table.m_quotedRows.push_back(m_rowQuoted);
        }
        if (m_pos < m_text.size()) m_pos = afterLineBreak(m_text, m_pos);
    }

private:
    bool atRowEnd() const { return m_pos >= m_text.size() || isLineBreak(m_text[m_pos]); }
    bool atFieldEnd() const { return atRowEnd() || m_text[m_pos] == m_separator; }

    // The fields up to the row's end, the reading position left on its line break.
    void readFields(std::size_t rowStart) {
        for (;;) {
            if (m_text[m_pos] == kQuote) {
                if (!readQuoted(rowStart)) return;
            } else {
                const std::size_t start = m_pos;
                skipUnquoted();
                addView(start, m_pos);
            }
            if (atRowEnd()) return;
            ++m_pos;  // the separator: a row's end after it gives an empty last field
            if (atRowEnd()) return addView(m_pos, m_pos);
        }
    }

    void skipUnquoted() {
        for (; !atFieldEnd(); ++m_pos)
            if (m_text[m_pos] == kQuote) m_rowQuoted = true;
    }

    // A quoted field without its quotes, copied only when it holds a doubled quote; false when
    // its quote is never closed.
    bool readQuoted(std::size_t rowStart) {
        m_rowQuoted = true;
        const std::size_t open = m_pos++;
        std::size_t start = m_pos;
        bool copied = false;
        for (;;) {
            const std::size_t close = m_text.find(kQuote, m_pos);
            if (close == TextView::npos) {
                fail(CsvFault::UnclosedQuote, rowStart);
                const std::size_t lineEnd = findLineBreak(m_text, open);
                m_pos = lineEnd == TextView::npos ? m_text.size() : lineEnd;
                return false;
            }
            m_pos = close + 1;
            if (m_pos == m_text.size() || m_text[m_pos] != kQuote) break;
            if (!copied) beginCopy();
            copied = true;
            m_table.m_unquoted.append(m_text.substr(start, m_pos - start));
            start = ++m_pos;
        }
        const std::size_t end = m_pos - 1;
        if (!atFieldEnd()) {
            fail(CsvFault::TextAfterQuote, rowStart);
            skipUnquoted();
        }
        if (copied) {
            m_table.m_unquoted.append(m_text.substr(start, end - start));
            endCopy();
        } else {
            addView(open + 1, end);
        }
        return true;
    }

    void beginCopy() { m_copyStart = m_table.m_unquoted.size(); }

    void endCopy() {
        const std::size_t length = m_table.m_unquoted.size() - m_copyStart;
        m_table.m_fields.push_back({static_cast<std::uint32_t>(m_copyStart) | CsvTable::kCopied,
                                    static_cast<std::uint32_t>(length)});
    }

    void addView(std::size_t start, std::size_t end) {
        m_table.m_fields.push_back(
            {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)});
    }

    void fail(CsvFault fault, std::size_t rowStart) {
        if (m_malformed == MalformedRows::Stop) throw CsvError({lineAt(rowStart), fault});
        if (!m_fault) m_fault = fault;
    }

    // The line of `pos`, counted on from the last position asked about.
    std::size_t lineAt(std::size_t pos) {
        for (; m_countedTo < pos; ++m_countedTo) {
            const char16_t c = m_text[m_countedTo];
            const bool crLf =
                c == u'\r' && m_countedTo + 1 < m_text.size() && m_text[m_countedTo + 1] == u'\n';
            if (isLineBreak(c) && !crLf) ++m_line;
        }
        return m_line;
    }

    CsvTable& m_table;
    TextView m_text;
    char16_t m_separator;
    MalformedRows m_malformed;
    std::size_t m_pos = 0;
    std::size_t m_copyStart = 0;
    std::optional<CsvFault> m_fault;
    bool m_rowQuoted = false;
    std::size_t m_countedTo = 0;
    std::size_t m_line = 1;
};

std::optional<CsvTable> CsvTable::read(TextView text, char16_t separator, MalformedRows malformed,
                                       const RunControl& control) {
    if (!isCsvSeparator(separator))
        throw RefusedInput("a quote, a line break or half a surrogate pair cannot separate fields",
                           u"引用符「\"」、改行、サロゲートペアの片方は区切り文字にできません。");
    if (text.size() >= kCopied) throw RunTimeError("text too long for a table");
    CsvTable table;
    table.m_text = text;
    table.m_separator = separator;
    // Room for fields of 16 units and rows of 64 on average: growing a large table step by step
    // copies it again and again.
    table.m_fields.reserve(text.size() / 16);
    table.m_rowStarts.reserve(text.size() / 64);
    table.m_endsWithLineBreak = !text.empty() && isLineBreak(text.back());
    CsvReader reader(table, text, separator, malformed);
    for (std::size_t rows = 0; !reader.done(); ++rows) {
        if ((rows & 0xFFF) == 0 && control.stopped()) return std::nullopt;
        reader.readRow();
    }
    return table;
}

std::optional<TextView> CsvTable::plainRow(std::size_t row) const {
    if (m_quotedRows[row]) return std::nullopt;
    const std::size_t count = fieldCount(row);
    if (count == 0) return TextView();
    const std::size_t start = m_fields[m_rowStarts[row]].start;
    const FieldRef last = m_fields[m_rowStarts[row] + count - 1];
    return m_text.substr(start, last.start + last.length - start);
}

TextView CsvTable::field(std::size_t row, std::size_t column) const {
    if (column >= fieldCount(row)) return {};
    const FieldRef f = m_fields[m_rowStarts[row] + column];
    const TextView base = (f.start & kCopied) ? TextView(m_unquoted) : m_text;
    return base.substr(f.start & ~kCopied, f.length);
}

namespace {

constexpr std::size_t kMaxColumn = 1'000'000;

// Reads a column list, one item at a time.
class ColumnListReader {
public:
    explicit ColumnListReader(TextView list) : m_list(list) {}

    std::vector<std::size_t> read() {
        std::vector<std::size_t> columns;
        skipBlanks();
        if (m_at == m_list.size()) throw RefusedInput("no column given", u"列の番号がありません。");
        for (;;) {
            readItem(columns);
            skipBlanks();
            if (m_at == m_list.size()) return columns;
            if (!isComma(m_list[m_at])) throw unreadable();
            ++m_at;
        }
    }

private:
    static bool isComma(char16_t c) { return c == u',' || c == u'，' || c == u'、'; }
    static bool isDash(char16_t c) { return c == u'-' || c == u'－'; }
    static bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'　'; }
    static int digit(char16_t c) {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'０' && c <= u'９') return c - u'０';
        return -1;
    }

    void skipBlanks() {
        while (m_at < m_list.size() && isBlank(m_list[m_at]))
            ++m_at;
    }

    void readItem(std::vector<std::size_t>& columns) {
        skipBlanks();
        const std::size_t first = readNumber();
        skipBlanks();
        std::size_t last = first;
        if (m_at < m_list.size() && isDash(m_list[m_at])) {
            ++m_at;
            skipBlanks();
            last = readNumber();
            if (last < first)
                throw RefusedInput(
                    "the range " + std::to_string(first) + "-" + std::to_string(last) + " runs backwards",
                    u"範囲" + decimalUnits(first) + u"-" + decimalUnits(last) +
                        u"は始まりが終わりより後ろです。");
        }
        for (std::size_t c = first; c <= last; ++c)
            columns.push_back(c - 1);
    }

    std::size_t readNumber() {
        if (m_at == m_list.size() || digit(m_list[m_at]) < 0) throw unreadable();
        std::size_t n = 0;
        for (; m_at < m_list.size() && digit(m_list[m_at]) >= 0; ++m_at) {
            n = n * 10 + static_cast<std::size_t>(digit(m_list[m_at]));
            if (n > kMaxColumn)
                throw RefusedInput("column numbers go up to 1000000", u"列の番号は1000000までです。");
        }
        if (n == 0) throw RefusedInput("columns are numbered from 1", u"列の番号は1から数えます。");
        return n;
    }

    RefusedInput unreadable() const {
        return RefusedInput(
            "column list, character " + std::to_string(m_at + 1) +
                ": a column number, a range such as 2-4 or a comma expected",
            u"列の指定の" + decimalUnits(m_at + 1) + u"文字目が読めません（例：3,1,2 や 2-4）。");
    }

    TextView m_list;
    std::size_t m_at = 0;
};

// Builds the written rows, quoting as Python's csv writer does with QUOTE_MINIMAL.
class CsvWriter {
public:
    CsvWriter(char16_t separator, std::size_t reserve, const RunControl& control)
        : m_separator(separator),
          m_out(std::min(reserve, control.resultBudget), control.resultBudget, control.sink) {}

    void writeRow(const std::vector<TextView>& fields) {
        // A lone empty field is quoted so that it reads back as a field, not as an empty line.
        if (fields.size() == 1 && fields[0].empty()) m_out.add(u"\"\"");
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) m_out.add(TextView(&m_separator, 1));
            writeField(fields[i]);
        }
        m_out.endLine();
    }

    // A row that needs no quotes, as it is.
    void writePlainRow(TextView row) { m_out.addLine(row); }

    Text take(bool endsWithLineBreak) { return m_out.take(!endsWithLineBreak); }

private:
    bool needsQuotes(TextView field) const {
        for (const char16_t c : field)
            if (c == m_separator || c == kQuote || isLineBreak(c)) return true;
        return false;
    }

    void writeField(TextView field) {
        if (!needsQuotes(field)) return m_out.add(field);
        m_out.add(u"\"");
        for (std::size_t from = 0;;) {
            const std::size_t quote = field.find(kQuote, from);
            m_out.add(field.substr(from, quote == TextView::npos ? TextView::npos : quote + 1 - from));
            if (quote == TextView::npos) break;
            m_out.add(u"\"");
            from = quote + 1;
        }
        m_out.add(u"\"");
    }

    char16_t m_separator;
    LineWriter m_out;
};

std::vector<std::uint32_t> allRows(const CsvTable& table) {
    std::vector<std::uint32_t> rows(table.rowCount());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<std::uint32_t>(i);
    return rows;
}

void allFields(const CsvTable& table, std::size_t row, std::vector<TextView>& fields) {
    for (std::size_t c = 0; c < table.fieldCount(row); ++c)
        fields.push_back(table.field(row, c));
}

// Every field of each row: a row without quotes is written back as it stands when the separator
// stays the same, which is what quoting only where needed would give.
struct WholeRows {};

// Writes the given rows in order, each as `fieldsOf` picks its fields.
template <typename FieldsOf>
std::optional<Text> writeRows(const CsvTable& table, const std::vector<std::uint32_t>& rows,
                              char16_t separator, const RunControl& control, FieldsOf fieldsOf) {
    if (!isCsvSeparator(separator))
        throw RefusedInput("a quote, a line break or half a surrogate pair cannot separate fields",
                           u"引用符「\"」、改行、サロゲートペアの片方は区切り文字にできません。");
    CsvWriter out(separator, table.sourceLength() + table.rowCount(), control);
    std::vector<TextView> fields;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if ((i & 0xFFF) == 0 && control.stopped()) return std::nullopt;
        fields.clear();
        if constexpr (std::is_same_v<FieldsOf, WholeRows>) {
            if (separator == table.separator()) {
                if (const std::optional<TextView> plain = table.plainRow(rows[i])) {
                    out.writePlainRow(*plain);
                    continue;
                }
            }
            allFields(table, rows[i], fields);
        } else {
            fieldsOf(rows[i], fields);
        }
        out.writeRow(fields);
    }
    return out.take(table.endsWithLineBreak());
}

// Ends a sort that Stop asked to end, from inside its comparisons.
struct SortStopped {};

// The rows after the header in the order of their keys, rows of equal keys in their order (the
// row number decides, which lets the sort work in place). `keyOf` makes a row's `Keyed` (its
// key and `row`), `compare` orders two of them by key: below zero when the first comes first.
template <typename Keyed, typename KeyOf, typename Compare>
void sortByKey(std::vector<std::uint32_t>& rows, std::size_t from, KeyOf keyOf, Compare compare,
               bool descending, const RunControl& control) {
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size() - from);
    for (std::size_t i = from; i < rows.size(); ++i)
        keyed.push_back(keyOf(rows[i]));
    std::size_t calls = 0;
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if ((++calls & 0xFFFF) == 0 && control.stopped()) throw SortStopped{};
        const int order = compare(a, b);
        return order != 0 ? (descending ? order > 0 : order < 0) : a.row < b.row;
    });
    for (std::size_t i = from; i < rows.size(); ++i)
        rows[i] = keyed[i - from].row;
}

int threeWay(bool less, bool greater) {
    return less ? -1 : greater ? 1 : 0;
}

// A text key as its first eight units packed into two numbers (a missing unit as 0) and its
// length: most comparisons end there and never reach the text, which lies scattered over the
// whole input.
struct TextKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t length;
    std::uint32_t row;

    TextKey(TextView key, std::uint32_t r) : length(static_cast<std::uint32_t>(key.size())), row(r) {
        for (std::size_t i = 0; i < 8; ++i) {
            std::uint64_t& half = i < 4 ? high : low;
            half = half << 16 | (i < key.size() ? key[i] : 0u);
        }
    }
    // Whether the packed units say all: a longer key, or a U+0000 that packs as a missing unit
    // does, needs its text.
    int compare(const TextKey& other) const {
        if (high != other.high) return threeWay(high < other.high, true);
        if (low != other.low) return threeWay(low < other.low, true);
        return length <= 8 && other.length <= 8 ? threeWay(length<other.length, length> other.length) : 2;
    }
};

struct NumericKey {
    double value;
    std::uint32_t row;
};

struct CustomKey {
    TextView key;
    std::uint32_t row;
};

bool sortKeys(const CsvTable& table, std::vector<std::uint32_t>& rows, const RowSort& sort,
              const RunControl& control) {
    const std::size_t from = sort.header && !rows.empty() ? 1 : 0;
    const auto field = [&](std::uint32_t row) { return table.field(row, sort.column); };
    try {
        switch (sort.order.kind) {
            case KeyOrder::Kind::CodeUnits:
                sortByKey<TextKey>(
                    rows, from, [&](std::uint32_t row) { return TextKey(field(row), row); },
                    [&](const TextKey& a, const TextKey& b) {
                        const int order = a.compare(b);
                        if (order != 2) return order;
                        const int units = field(a.row).compare(field(b.row));
                        return threeWay(units<0, units> 0);
                    },
                    sort.descending, control);
                break;
            case KeyOrder::Kind::Numeric:
                sortByKey<NumericKey>(
                    rows, from,
                    [&](std::uint32_t row) {
                        return NumericKey{numericValue(field(row)), row};
                    },
                    [](const NumericKey& a, const NumericKey& b) {
                        return threeWay(a.value<b.value, a.value> b.value);
                    },
                    sort.descending, control);
                break;
            case KeyOrder::Kind::Custom:
                sortByKey<CustomKey>(
                    rows, from,
                    [&](std::uint32_t row) {
                        return CustomKey{field(row), row};
                    },
                    [&](const CustomKey& a, const CustomKey& b) { return sort.order.compare(a.key, b.key); },
                    sort.descending, control);
                break;
        }
    } catch (const SortStopped&) {
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::size_t> parseColumns(TextView list) {
    return ColumnListReader(list).read();
}

std::optional<Text> writeCsv(const CsvTable& table, char16_t separator, const RunControl& control) {
    return writeRows(table, allRows(table), separator, control, WholeRows{});
}

std::optional<Text> takeColumns(const CsvTable& table, const std::vector<std::size_t>& columns,
                                char16_t separator, const RunControl& control) {
    return writeRows(table, allRows(table), separator, control,
                     [&](std::uint32_t row, std::vector<TextView>& fields) {
                         if (table.fieldCount(row) == 0) return;
                         for (const std::size_t c : columns)
                             fields.push_back(table.field(row, c));
                     });
}

std::optional<Text> removeColumns(const CsvTable& table, const std::vector<std::size_t>& columns,
                                  char16_t separator, const RunControl& control) {
    std::vector<bool> removed;
    for (const std::size_t c : columns) {
        if (c >= removed.size()) removed.resize(c + 1);
        removed[c] = true;
    }
    return writeRows(table, allRows(table), separator, control,
                     [&](std::uint32_t row, std::vector<TextView>& fields) {
                         for (std::size_t c = 0; c < table.fieldCount(row); ++c)
                             if (c >= removed.size() || !removed[c]) fields.push_back(table.field(row, c));
                     });
}

std::optional<Text> sortRows(const CsvTable& table, const RowSort& sort, char16_t separator,
                             const RunControl& control) {
    if (sort.order.kind == KeyOrder::Kind::Custom && !sort.order.compare)
        throw std::invalid_argument("a custom key order without its comparison");
    std::vector<std::uint32_t> rows = allRows(table);
    if (!sortKeys(table, rows, sort, control)) return std::nullopt;
    return writeRows(table, rows, separator, control, WholeRows{});
}

std::optional<Text> removeDuplicateRows(const CsvTable& table, std::size_t column, bool header,
                                        char16_t separator, const RunControl& control) {
    std::vector<std::uint32_t> rows;
    std::unordered_set<TextView> seen;
    seen.reserve(table.rowCount());
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        if ((r & 0xFFF) == 0 && control.stopped()) return std::nullopt;
        if ((header && r == 0) || seen.insert(table.field(r, column)).second)
            rows.push_back(static_cast<std::uint32_t>(r));
    }
    return writeRows(table, rows, separator, control, WholeRows{});
}

}  // namespace kivo
