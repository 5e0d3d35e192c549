#include "ops/lines/line_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

namespace kivo {
namespace {

// Lines are sorted eight bytes at a time: a row holds the units at [depth, depth + K) packed into
// one number (missing units as 0; K is 4 UTF-16 units or 8 UTF-8 bytes) and how many of them the
// line has (0 to K, or K + 1 when it goes on). Ordered by both, rows order like their lines except
// where both are equal and the lines go on: those runs are sorted again K units deeper. Where the
// lines end within the K units, equal rows are equal lines, and a shorter line that matches a
// longer one's units (trailing zero units included) is its prefix and comes first.
//
// UTF-8 bytes order like their code points; UTF-16 puts U+E000..U+FFFF after the surrogate pairs.
// Their lead bytes EE and EF, which never continue a character, weigh as F6 and F7, above every
// lead of a pair (F0..F4) and below nothing valid UTF-8 holds: bytes then order as UTF-16 does.
//
// Descending order sorts the complements ascending: equal rows, hence equal lines, still keep
// their order, which std::stable_sort with the reversed comparison gives as well.
struct Row {
    std::uint64_t key;
    std::uint64_t tag;  // the line's index << kTagBits | the length digit
};

template <typename Char>
struct Units {
    static constexpr std::size_t kPerKey = 8 / sizeof(Char);
    static constexpr int kBits = 8 * sizeof(Char);
    static constexpr std::uint64_t kGoesOn = kPerKey + 1;
    static constexpr int kTagBits = sizeof(Char) == 1 ? 4 : 3;
    static constexpr std::uint64_t kLengthMask = (1u << kTagBits) - 1;

    static std::uint64_t weight(Char unit) {
        const auto value = static_cast<std::make_unsigned_t<Char>>(unit);
        if constexpr (sizeof(Char) == 1) return value == 0xEE || value == 0xEF ? value + 8u : value;
        return value;
    }
};

// Ranges shorter than this are sorted by comparing their rows; longer ones by counting.
constexpr std::size_t kCountingRange = 64;
// Ranges of at least this many rows are split by their key's top 16 bits before they are counted.
constexpr std::size_t kSplitRange = 1 << 16;

template <typename Char>
class Sorter {
    using View = std::basic_string_view<Char>;
    using U = Units<Char>;
    static constexpr std::uint64_t kGoesOn = U::kGoesOn;
    static constexpr int kTagBits = U::kTagBits;
    static constexpr std::uint64_t kLengthMask = U::kLengthMask;

public:
    Sorter(std::vector<View>& lines, bool descending)
        : m_lines(lines), m_descending(descending), m_rows(lines.size()), m_spare(lines.size()) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            m_rows[i].tag = static_cast<std::uint64_t>(i) << kTagBits;
    }

    void sort() {
        // Ranges of rows whose lines share their first `depth` units; never deeper than the
        // longest line, and each row in at most one range per depth: linear in the text. The
        // parts of a split range already hold their rows.
        struct Range {
            std::size_t begin, end, depth;
            bool split;
        };
        std::vector<Range> pending{{0, m_rows.size(), 0, false}};
        while (!pending.empty()) {
            const Range r = pending.back();
            pending.pop_back();
            const std::size_t n = r.end - r.begin;
            if (!r.split) {
                for (std::size_t i = r.begin; i < r.end; ++i)
                    fill(m_rows[i], r.depth);
            }
            if (n < kCountingRange) {
                insertionSort(r.begin, r.end);
            } else if (n >= kSplitRange && !r.split) {
                // Rows counted by their key's top 16 bits first: each part is then small enough for
                // the passes over it to stay in the cache, and its first two digits are shared.
                for (const auto& [begin, end] : splitByKeyTop(r.begin, r.end))
                    pending.push_back({begin, end, r.depth, true});
                continue;
            } else {
                radixSort(r.begin, r.end);
            }
            for (std::size_t i = r.begin; i < r.end;) {
                std::size_t j = i + 1;
                while (j < r.end && m_rows[j].key == m_rows[i].key && length(m_rows[j]) == length(m_rows[i]))
                    ++j;
                if (j - i > 1 && goesOn(m_rows[i])) pending.push_back({i, j, r.depth + U::kPerKey, false});
                i = j;
            }
        }
        // The spare rows go before the lines are put in order: besides the lines' views, never
        // more than two rows a line are held.
        std::vector<Row>().swap(m_spare);
        std::vector<View> sorted;
        sorted.reserve(m_rows.size());
        for (const Row& row : m_rows)
            sorted.push_back(lineOf(row));
        m_lines = std::move(sorted);
    }

private:
    View lineOf(const Row& row) const { return m_lines[static_cast<std::size_t>(row.tag >> kTagBits)]; }

    static std::uint64_t length(const Row& row) { return row.tag & kLengthMask; }

    bool goesOn(const Row& row) const { return length(row) == (m_descending ? 0 : kGoesOn); }

    // The row of a line with at least `depth` units.
    void fill(Row& row, std::size_t depth) const {
        const View line = lineOf(row);
        const std::size_t have = std::min<std::size_t>(line.size() - depth, U::kPerKey);
        std::uint64_t key = 0;
        for (std::size_t k = 0; k < U::kPerKey; ++k)
            key = key << U::kBits | (k < have ? U::weight(line[depth + k]) : 0u);
        std::uint64_t digit = line.size() - depth > U::kPerKey ? kGoesOn : have;
        if (m_descending) {
            key = ~key;
            digit = kGoesOn - digit;
        }
        row.key = key;
        row.tag = (row.tag & ~kLengthMask) | digit;
    }

    static bool before(const Row& a, const Row& b) {
        return a.key != b.key ? a.key < b.key : length(a) < length(b);
    }

    // Stable, as the rows of a range are in input order among the lines equal so far.
    void insertionSort(std::size_t begin, std::size_t end) {
        Row* rows = m_rows.data();
        for (std::size_t i = begin + 1; i < end; ++i) {
            const Row row = rows[i];
            std::size_t j = i;
            for (; j > begin && before(row, rows[j - 1]); --j)
                rows[j] = rows[j - 1];
            rows[j] = row;
        }
    }

    // Puts `n` rows sorted into the spare rows at `from` back in place: all of them trade
    // places, a part is copied.
    void sortedIntoSpare(const Row* from, std::size_t begin, std::size_t n) {
        if (n == m_rows.size())
            std::swap(m_rows, m_spare);
        else
            std::copy(from, from + n, m_rows.data() + begin);
    }

    // The rows of the range ordered by the key's top 16 bits (one UTF-16 unit, two UTF-8 bytes),
    // stably; the parts of equal top bits, in order.
    std::vector<std::pair<std::size_t, std::size_t>> splitByKeyTop(std::size_t begin, std::size_t end) {
        std::vector<std::size_t> count(std::size_t{1} << 16, 0);
        for (std::size_t i = begin; i < end; ++i)
            ++count[m_rows[i].key >> 48];
        std::vector<std::pair<std::size_t, std::size_t>> parts;
        std::size_t offset = begin;
        for (std::size_t& c : count) {
            if (c > 0) parts.emplace_back(offset, offset + c);
            offset += std::exchange(c, offset);
        }
        for (std::size_t i = begin; i < end; ++i)
            m_spare[count[m_rows[i].key >> 48]++] = m_rows[i];
        sortedIntoSpare(m_spare.data() + begin, begin, end - begin);
        return parts;
    }

    // Least significant digit first, a byte at a time (the length digit, then the key's eight
    // bytes), each pass stable; a digit that all rows share costs no pass.
    void radixSort(std::size_t begin, std::size_t end) {
        constexpr int kDigits = 9;
        auto digit = [](const Row& row, int d) -> std::size_t {
            return static_cast<std::size_t>(d == 0 ? length(row) : (row.key >> (8 * (d - 1))) & 0xFF);
        };
        std::array<std::array<std::size_t, 256>, kDigits> counts{};
        for (std::size_t i = begin; i < end; ++i) {
            const Row& row = m_rows[i];
            for (int d = 0; d < kDigits; ++d)
                ++counts[static_cast<std::size_t>(d)][digit(row, d)];
        }
        const std::size_t n = end - begin;
        Row* from = m_rows.data() + begin;
        Row* to = m_spare.data() + begin;
        for (int d = 0; d < kDigits; ++d) {
            std::array<std::size_t, 256>& count = counts[static_cast<std::size_t>(d)];
            if (count[digit(*from, d)] == n) continue;
            std::size_t offset = 0;
            for (std::size_t& c : count)
                offset += std::exchange(c, offset);
            for (std::size_t i = 0; i < n; ++i)
                to[count[digit(from[i], d)]++] = from[i];
            std::swap(from, to);
        }
        if (from != m_rows.data() + begin) sortedIntoSpare(from, begin, n);
    }

    std::vector<View>& m_lines;
    const bool m_descending;
    std::vector<Row> m_rows;
    std::vector<Row> m_spare;
};

}  // namespace

void sortLines(std::vector<TextView>& lines, bool descending) {
    Sorter<char16_t>(lines, descending).sort();
}

void sortLines(std::vector<std::string_view>& lines, bool descending) {
    Sorter<char>(lines, descending).sort();
}

}  // namespace kivo
