// The run frame: every failure of a body, running out of memory included, is the operation's
// own message and no result; a stopped or closing run writes nothing and says nothing.
#include <functional>
#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

#include "fake_context.h"
#include "ops/frame.h"
#include "text/errors.h"

namespace kivo {
namespace {

constexpr TextView kOwnError = u"own error";

template <typename Body>
std::optional<Text> framed(test::FakeContext& ctx, Body body, FrameOptions options = {}) {
    return runFramed(ctx, kOwnError, body, options);
}

TEST(RunFrame, EveryFailureIsTheOperationsOwnMessage) {
    const std::vector<std::function<std::optional<Text>()>> failures = {
        []() -> std::optional<Text> { throw std::bad_alloc(); },
        []() -> std::optional<Text> { throw std::length_error("too long"); },
        []() -> std::optional<Text> { throw std::out_of_range("position"); },
        []() -> std::optional<Text> { throw RunTimeError("overflow"); },
        []() -> std::optional<Text> { return Text(u"x").substr(2); },
    };
    for (const auto& body : failures) {
        test::FakeContext ctx;
        EXPECT_EQ(framed(ctx, body), std::nullopt);
        ASSERT_EQ(ctx.shown.size(), 1u);
        EXPECT_EQ(ctx.shown[0], (test::FakeContext::Shown{Icon::Exclamation, Text(kOwnError)}));
        EXPECT_FALSE(ctx.stop);
    }
}

TEST(RunFrame, MonthFramesMarkAFailedRunAsAborted) {
    test::FakeContext ctx;
    framed(ctx, []() -> std::optional<Text> { throw std::bad_alloc(); }, {.setStopFlagOnError = true});
    EXPECT_TRUE(ctx.stop);
}

TEST(RunFrame, StoppedOrClosingRunsWriteNothingSilently) {
    test::FakeContext stopped;
    stopped.stop = true;
    EXPECT_EQ(framed(stopped, [] { return std::optional<Text>(u"result"); }), std::nullopt);
    test::FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(framed(closing, []() -> std::optional<Text> { throw std::bad_alloc(); }), std::nullopt);
    EXPECT_TRUE(stopped.shown.empty());
    EXPECT_TRUE(closing.shown.empty());
}

TEST(RunFrame, ResultUpToThePaneLimitPasses) {
    test::FakeContext ctx;
    EXPECT_EQ(framed(ctx, [] { return std::optional<Text>(u"result"); }), Text(u"result"));
    EXPECT_TRUE(ctx.shown.empty());
    static_assert(kMaxResultLength == 2147483647);
}

}  // namespace
}  // namespace kivo
