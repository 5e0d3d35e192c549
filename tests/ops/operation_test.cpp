#include "ops/operation.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "text/errors.h"

namespace kivo {
namespace {

TEST(Lists, CountsAcceptOnlyWhatTheRuleAllows) {
    EXPECT_EQ(countFrom(u"1", 1, 999), 1);
    EXPECT_EQ(countFrom(u"999", 1, 999), 999);
    EXPECT_EQ(countFrom(u"012", 1, 999), 12);
    // The rules of the combos starting at 0 keep any run of zeros.
    EXPECT_EQ(countFrom(u"0000000000", 0, 999), 0);
    EXPECT_EQ(countFrom(u"0000000000999", 0, 999), 999);
    for (TextView bad : {TextView(u"0"), TextView(u"1000"), TextView(u""), TextView(u"1a"), TextView(u" 1"),
                         TextView(u"-1"), TextView(u"１"), TextView(u"99999999999999999999")})
        EXPECT_THROW(countFrom(bad, 1, 999), RunTimeError) << test::show(bad);
}

}  // namespace
}  // namespace kivo
