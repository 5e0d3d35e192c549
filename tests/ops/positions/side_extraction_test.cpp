#include "ops/positions/side_extraction.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

struct Row {
    Text side, p, c, upper;
    std::optional<Text> out;
    std::vector<FakeContext::Shown> shown = {};
};

const std::vector kError = {exclamation(kGeneralError)};

// The two operations take the same settings from their own controls.
void expectRows(const OperationDeclaration& op, const char* side, const char* p, const char* c,
                const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const OpRun r = run(op, row.upper, {{side, row.side}, {p, row.p}, {c, row.c}});
        EXPECT_EQ(r.out, row.out) << op.name << " " << show(row.upper) << " p=" << show(row.p)
                                  << " c=" << show(row.c);
        EXPECT_EQ(r.ctx.shown, row.shown) << op.name << " " << show(row.upper) << " p=" << show(row.p);
    }
}

TEST(ExtractFromSide, TakesTheRunOfEveryLine) {
    expectRows(kExtractFromSide, "Combo16", "Combo12", "Combo13",
               {
                   {u"左", u"2", u"3", u"abcdef\r\nab\r\na", u"bcd\r\nb\r\n"},
                   {u"右", u"3", u"2", u"abcdef", u"de"},
                   {u"右", u"3", u"3", u"ab\r\nabcdef", u"ab\r\ndef"},
                   {u"右", u"2", u"5", u"abcdef", u"ef"},
                   {u"右", u"6", u"1", u"abcdef", u"a"},
                   {u"x", u"1", u"1", u"abc", u"c"},
                   {u"左", u"1", u"1", u"abc\r\n", u"a\r\n"},
                   {u"左", u"1", u"1", u"abc\rd\ne", u"a\r\nd\r\ne"},
                   {u"左", u"255", u"255", Text(300, u'a') + u"b", Text(46, u'a') + u"b"},
                   {u"左", u"3", u"1", u"", u""},
                   // Short lines and the eight-bit limits are run-time errors.
                   {u"右", u"3", u"2", u"ab", std::nullopt, kError},
                   {u"左", u"256", u"1", u"abc", std::nullopt, kError},
                   {u"左", u"1", u"256", u"abc", std::nullopt, kError},
                   {u"左", u"0", u"1", u"abc", std::nullopt, kError},
                   {u"左", u"1", u"1", u"a\r\n\r\nb", std::nullopt, {info(kConsecutiveLineBreaks)}},
               });
}

TEST(RemainderFromSide, KeepsTheLineWithoutTheRun) {
    const Text line255 = Text(255, u'a');
    expectRows(kRemainderFromSide, "Combo17", "Combo14", "Combo15",
               {
                   {u"左", u"2", u"3", u"abcdef", u"aef"},
                   {u"左", u"2", u"3", u"abcd\r\n", u"a\r\n"},
                   {u"右", u"3", u"2", u"abcdef", u"abcf"},
                   {u"右", u"2", u"2", u"abcdef\r\nab", u"abcd\r\n"},
                   {u"左", u"2", u"1", Text(300, u'a'), Text(299, u'a')},
                   {u"右", u"2", u"2", Text(300, u'a'), Text(298, u'a')},
                   // Right with p ≠ c: start position plus count up to 255.
                   {u"右", u"2", u"1", line255, Text(254, u'a')},
                   {u"右", u"10", u"5", Text(249, u'a') + u"0123456789", Text(249, u'a') + u"56789"},
                   // Short lines and the eight-bit limits are run-time errors.
                   {u"左", u"2", u"3", u"abc", std::nullopt, kError},
                   {u"右", u"2", u"2", u"a", std::nullopt, kError},
                   {u"右", u"3", u"2", u"ab", std::nullopt, kError},
                   {u"右", u"2", u"3", u"abcdef", std::nullopt, kError},
                   {u"右", u"2", u"1", Text(256, u'a'), std::nullopt, kError},
                   {u"右", u"2", u"1", Text(300, u'a'), std::nullopt, kError},
                   {u"右", u"10", u"5", Text(250, u'a') + u"0123456789", std::nullopt, kError},
                   {u"左", u"300", u"1", u"abc", std::nullopt, kError},
                   {u"左", u"1", u"1", u"a\r\n\r\nb", std::nullopt, {info(kConsecutiveLineBreaks)}},
               });
}

}  // namespace
}  // namespace kivo
