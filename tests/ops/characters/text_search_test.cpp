#include "ops/characters/text_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace kivo {
namespace {

constexpr std::size_t npos = TextView::npos;

TEST(TextSearch, FirstAndLastOccurrence) {
    struct Case {
        TextView pattern, s;
        std::size_t first, last;
    };
    const Case cases[] = {
        {u"=", u"a=b=c", 1, 3},       {u"aa", u"xaaay", 1, 2},    {u"aab", u"aaab", 1, 1},
        {u"abab", u"abababab", 0, 4}, {u"x", u"abc", npos, npos}, {u"abcd", u"abc", npos, npos},
        {u"abc", u"abc", 0, 0},       {u"", u"abc", 0, 3},        {u"", u"", 0, 0},
        {u"あ", u"ああ", 0, 1},
    };
    for (const Case& c : cases) {
        const TextSearch search(c.pattern);
        EXPECT_EQ(search.first(c.s), c.first);
        EXPECT_EQ(search.last(c.s), c.last);
        // Agrees with the plain search.
        EXPECT_EQ(search.first(c.s), c.s.find(c.pattern));
        EXPECT_EQ(search.last(c.s), c.s.rfind(c.pattern));
    }
}

TEST(TextSearch, RepetitivePatternsAgreeWithThePlainSearch) {
    const Text s = Text(200, u'a') + u"b" + Text(50, u'a');
    for (std::size_t m = 1; m < 60; ++m) {
        for (const Text& pattern : {Text(m, u'a'), Text(m, u'a') + u"b", Text(u"b").append(m, u'a')}) {
            const TextSearch search(pattern);
            EXPECT_EQ(search.first(s), TextView(s).find(pattern)) << m;
            EXPECT_EQ(search.last(s), TextView(s).rfind(pattern)) << m;
        }
    }
}

// The search steps to the next place of the pattern's first (or, backwards, last) unit a block
// of 16 units at a time: matches at every offset of texts a few blocks long, and near misses
// before them.
TEST(TextSearch, FindsMatchesAtEveryOffsetOfLongerTexts) {
    for (const TextView pattern : {u"i", u"item-", u"aab"}) {
        const TextSearch search(pattern);
        for (std::size_t n = 0; n <= 60; ++n) {
            for (std::size_t at = 0; at <= n; ++at) {
                Text s(n, u'a');
                s.replace(at, std::min(pattern.size(), n - at), pattern.substr(0, n - at));
                // A partial match a little before the place, which the search must step over.
                if (at >= 8) {
                    for (std::size_t k = 0; k < std::min<std::size_t>(2, pattern.size()); ++k)
                        s[at - 8 + k] = pattern[k];
                }
                EXPECT_EQ(search.first(s), TextView(s).find(pattern)) << n << " " << at;
                EXPECT_EQ(search.last(s), TextView(s).rfind(pattern)) << n << " " << at;
            }
        }
    }
}

// Bytes are searched a block at a time (by each kernel the processor has) by their first and last byte, the
// linear search taking over when whole comparisons fail too often: both against the plain search, on texts of
// few letters (many candidates) and on a text where every candidate fails at its very end.
TEST(ByteSearch, AgreesWithThePlainSearch) {
    std::vector<simd::Kernel> kernels;
    for (const simd::Kernel kernel : {simd::Kernel::Portable, simd::Kernel::Avx2})
        if (simd::available(kernel)) kernels.push_back(kernel);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> letter(0, 2), length(1, 40), textLength(0, 200);
    for (int round = 0; round < 20000; ++round) {
        std::string pattern(static_cast<std::size_t>(length(random) % (round % 7 + 1) + 1), 'a');
        for (char& c : pattern)
            c = static_cast<char>('a' + letter(random) % 2);
        std::string s(static_cast<std::size_t>(textLength(random)), 'a');
        for (char& c : s)
            c = static_cast<char>('a' + letter(random));
        for (const simd::Kernel kernel : kernels)
            EXPECT_EQ(ByteSearch(pattern).first(s, kernel), std::string_view(s).find(pattern))
                << s << " " << pattern;
    }
    const std::string pattern = std::string(300, 'a') + "b" + std::string(300, 'a');
    std::string s(1'000'000, 'a');
    for (const simd::Kernel kernel : kernels)
        EXPECT_EQ(ByteSearch(pattern).first(s, kernel), std::string::npos);
    s.replace(900'000, pattern.size(), pattern);
    for (const simd::Kernel kernel : kernels)
        EXPECT_EQ(ByteSearch(pattern).first(s, kernel), 900'000u);
}

}  // namespace
}  // namespace kivo
