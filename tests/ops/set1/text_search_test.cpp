#include "ops/set1/text_search.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kivo
