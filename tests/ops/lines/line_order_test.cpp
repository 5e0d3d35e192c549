#include "ops/lines/line_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "text/utf8.h"

namespace kivo {
namespace {

// The order std::stable_sort gives, compared view by view: the same texts from the same places,
// so that equal lines must also keep their order.
void expectStableOrder(const std::vector<TextView>& lines, bool descending) {
    std::vector<TextView> expected = lines;
    if (descending)
        std::stable_sort(expected.begin(), expected.end(), [](TextView a, TextView b) { return b < a; });
    else
        std::stable_sort(expected.begin(), expected.end());
    std::vector<TextView> sorted = lines;
    sortLines(sorted, descending);
    ASSERT_EQ(sorted.size(), expected.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        ASSERT_EQ(sorted[i], expected[i]) << "line " << i << (descending ? " descending" : " ascending");
        ASSERT_EQ(sorted[i].data(), expected[i].data()) << "line " << i << " is an equal line from elsewhere";
    }
}

// Lines over a small alphabet (by default U+0000 and the highest units, which pack into the keys
// like missing units and like complements), with shared prefixes of every length so that runs of
// equal keys reach several levels deep, and repeats so that equal lines meet.
const std::vector<Text> kUnits = {{u'\0'}, u"a", u"b", u"\uFFFF", u"\u3042", {char16_t{0xD842}}};

std::vector<Text> randomLines(std::size_t count, unsigned seed, const std::vector<Text>& alphabet = kUnits) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1), length(0, 14), kind(0, 9);
    std::vector<Text> lines;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = kind(random);
        if (k < 2 && !lines.empty()) {
            // A repeat, or an earlier line made longer or shorter.
            Text line = lines[std::uniform_int_distribution<std::size_t>(0, lines.size() - 1)(random)];
            if (k == 1) {
                if (line.empty() || length(random) % 2 == 0)
                    line += alphabet[letter(random)];
                else
                    line.pop_back();
                // Never half a pair: UTF-8 could not hold the other half.
                if (!line.empty() && (line.back() & 0xFC00) == 0xD800) line.pop_back();
            }
            lines.push_back(std::move(line));
            continue;
        }
        Text line = k < 5 ? Text(u"abab") : Text();
        for (std::size_t n = length(random); n > 0; --n)
            line += alphabet[letter(random)];
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<TextView> viewsOf(const std::vector<Text>& lines) {
    return std::vector<TextView>(lines.begin(), lines.end());
}

TEST(LineOrder, AgreesWithTheStableSortOnRandomLines) {
    // Sizes below, at and above the size at which counting takes over from comparing, and one
    // large enough to be split by the first unit.
    for (const std::size_t count : {0, 1, 2, 5, 63, 64, 65, 300, 5'000, 70'000}) {
        const std::vector<Text> lines = randomLines(count, static_cast<unsigned>(count));
        for (const bool descending : {false, true}) {
            expectStableOrder(viewsOf(lines), descending);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(LineOrder, Utf8LinesOrderAsTheirUtf16Forms) {
    // The characters whose order differs between the forms: U+E000..U+FFFF after the pairs.
    const std::vector<Text> alphabet = {{u'\0'},   u"a",      u"\u00E9", u"\uD7FF",
                                        u"\uE000", u"\uFFFF", u"𠮷",     u"\U0010FFFF"};
    for (const std::size_t count : {300, 70'000}) {
        const std::vector<Text> lines = randomLines(count, static_cast<unsigned>(count), alphabet);
        std::vector<std::string> bytes;
        for (const Text& line : lines)
            bytes.push_back(utf8::encode(line));
        for (const bool descending : {false, true}) {
            std::vector<std::size_t> expected(lines.size());
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
                return descending ? lines[b] < lines[a] : lines[a] < lines[b];
            });
            std::vector<std::string_view> sorted(bytes.begin(), bytes.end());
            sortLines(sorted, descending);
            for (std::size_t i = 0; i < sorted.size(); ++i)
                ASSERT_EQ(sorted[i].data(), bytes[expected[i]].data()) << "line " << i << " of " << count;
        }
    }
}

TEST(LineOrder, EqualLinesAndPrefixesKeepTheirOrder) {
    using namespace std::string_literals;
    // Each text its own copy: equal lines sit in different places.
    const std::vector<std::vector<Text>> cases = {
        {u"a", u"a", u"", u"a"},
        {u"ab", u"ab\0"s, u"ab", u"ab\0\0\0\0"s, u"ab\0\0\0"s},
        {u"\0"s, u"", u"\0"s, u"", u"\0\0\0\0\0"s},
        {u"abcdefgh", u"abcdefg", u"abcdefghi", u"abcd", u"abcde", u"abc"},
        {u"\uFFFF\uFFFF\uFFFF\uFFFF", u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF", u"\uFFFF\uFFFF\uFFFF", u""},
    };
    for (const std::vector<Text>& lines : cases) {
        expectStableOrder(viewsOf(lines), false);
        expectStableOrder(viewsOf(lines), true);
    }
}

TEST(LineOrder, ManyEqualLongLines) {
    // Every row goes through every depth of a long shared text.
    const Text shared(997, u'x');
    std::vector<Text> lines;
    for (int i = 0; i < 3'000; ++i)
        lines.push_back(i % 3 == 0 ? shared : shared + (i % 3 == 1 ? u"a" : u""));
    expectStableOrder(viewsOf(lines), false);
    expectStableOrder(viewsOf(lines), true);
}

}  // namespace
}  // namespace kivo
