#include "ops/dispatch.h"

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <set>
#include <stdexcept>

#include "harness.h"
#include "ops/characters/character_replacement.h"
#include "ops/characters/counting.h"
#include "ops/characters/reverse.h"
#include "ops/dates/month_dates.h"
#include "ops/loop/loop_generator.h"
#include "ops/numbers/numbered_copies.h"

namespace kivo {
namespace {

using namespace test;

TEST(Operations, OneDeclarationPerCodeWithItsOwnNameAndSelector) {
    std::set<std::string> names, selectors, controls;
    for (std::size_t code = 0; code < operations().size(); ++code) {
        const OperationDeclaration& op = *operations()[code];
        EXPECT_EQ(op.code, static_cast<int>(code));
        EXPECT_TRUE(names.insert(op.name).second) << op.name;
        EXPECT_TRUE(selectors.insert(op.selector).second) << op.selector;
        EXPECT_EQ(operationNamed(op.name), &op);
        std::set<std::string> options;
        for (const ParamDeclaration& p : op.params) {
            EXPECT_TRUE(options.insert(p.option).second) << op.name << " --" << p.option;
            EXPECT_TRUE(controls.insert(p.control).second) << p.control;
        }
    }
    EXPECT_FALSE(isOperationCode(static_cast<int>(operations().size())));
    EXPECT_FALSE(isOperationCode(-1));
    EXPECT_EQ(operationNamed("no-such-operation"), nullptr);
    // Every operation sits on one tab, and every tab holds one at least.
    std::size_t onTabs = 0;
    for (const Tab tab : {Tab::Characters, Tab::LinesAndPositions, Tab::Loop, Tab::SortsAndSeries,
                          Tab::Japanese, Tab::OfficeChores, Tab::Patterns}) {
        const std::size_t count = operationsOnTab(tab).size();
        EXPECT_GT(count, 0u) << static_cast<int>(tab);
        onTabs += count;
    }
    EXPECT_EQ(onTabs, operations().size());
}

TEST(Dispatch, PreCheckMessages) {
    struct Case {
        int code;
        Settings values;
        std::optional<Text> message;
    };
    const Case cases[] = {
        {4, {{"Text3", u""}}, u"左側に足す文字、文字列を入力して下さい。"},
        {4, {{"Text3", u""}, {"Combo31", u"右"}}, u"右側に足す文字、文字列を入力して下さい。"},
        // The message quotes the list as it stands, even a text that is none of its entries.
        {4, {{"Text3", u""}, {"Combo31", u"x"}}, u"x側に足す文字、文字列を入力して下さい。"},
        {4, {{"Text3", u"x"}}, std::nullopt},
        {7, {{"Text7", u""}}, u"置き換える文字を入力して下さい。"},
        {12, {{"Text13", u""}}, u"条件を満たす文字を入力して下さい。"},
        {17, {{"Text14", u""}}, u"左側から置き換える文字を入力して下さい。"},
        {17, {{"Text14", u""}, {"Combo4", u"右"}}, u"右側から置き換える文字を入力して下さい。"},
        {17, {{"Text14", u""}, {"Combo4", u"x"}}, u"右側から置き換える文字を入力して下さい。"},
        {26, {{"Text6", u""}}, u"ループ回数を入力して下さい。"},
        {26, {}, std::nullopt},
        {29, {{"Text41", u"1"}}, u"インクリメント～し改行して追加する行数を「2」以上で入力して下さい。"},
        {29,
         {{"Text41", u"1"}, {"Combo28", u"デクリメント"}},
         u"デクリメント～し改行して追加する行数を「2」以上で入力して下さい。"},
        {29,
         {{"Text41", u"1"}, {"Combo28", u"x"}},
         u"x～し改行して追加する行数を「2」以上で入力して下さい。"},
        {29, {{"Text41", u"2"}}, std::nullopt},
        {30, {{"Text15", u""}}, u"…から見つけた●●●を含む文字を入力して下さい。"},
        {31, {{"Text23", u""}, {"Text24", u""}}, u"ステップを入力して下さい。"},
        {31, {{"Text24", u""}}, u"追加する行数を入力して下さい。"},
        {32, {{"Text27", u""}}, u"列挙する月数を入力して下さい。"},
        {32, {{"Text27", u"1"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"0"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"abc"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"2000001"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"1e999"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {32, {{"Text27", u"2"}}, std::nullopt},
        {32, {{"Text27", u"2000000"}}, std::nullopt},
        {33, {{"Text28", u""}}, u"列挙する月数を入力して下さい。"},
        {33, {{"Text28", u"1"}}, u"2以上2000000以下の数値を入力して下さい。"},
        {34, {{"Text29", u""}}, u"列挙する月数を入力して下さい。"},
        {34, {{"Text29", u"2000001"}}, u"2以上2000000以下の数値を入力して下さい。"},
    };
    for (const Case& c : cases) {
        const OpRun r = run(operation(c.code), u"a", c.values);
        if (c.message) {
            EXPECT_EQ(r.end, DispatchEnd::PreCheckFailed) << "code " << c.code;
            EXPECT_EQ(r.ctx.shown, std::vector{info(*c.message)}) << "code " << c.code;
        } else {
            EXPECT_NE(r.end, DispatchEnd::PreCheckFailed) << "code " << c.code;
        }
        EXPECT_TRUE(run(operation(c.code), u"a", c.values, closingContext()).ctx.shown.empty());
    }
    // A value too large for a double is the operation's run-time error.
    EXPECT_EQ(run(kAddLinesAfterNthNumber, u"a1", {{"Text41", u"1e999"}}).ctx.shown,
              std::vector{exclamation(kGeneralError)});
}

TEST(Dispatch, AVariantTextThatIsNoEntryRunsNothing) {
    struct Case {
        const OperationDeclaration& op;
        const char* control;
        std::vector<ControlText> changed;
    };
    const Case cases[] = {
        {kReverseText, "Combo41", {}},
        {kCountCharacters, "Combo39", {}},
        {kReplaceSpecialCharacter, "Combo40", {}},
        // The letter class is set back to its default.
        {kCountLetterClass, "Combo19", {{"Combo19", u"半角英小文字「a～z」"}}},
    };
    for (const Case& c : cases) {
        const OpRun r = run(c.op, u"abc", {{c.control, u"逆"}});
        EXPECT_EQ(r.end, DispatchEnd::NothingRan) << c.control;
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_TRUE(r.ctx.shown.empty());
        EXPECT_EQ(r.changed, c.changed);
    }
}

// A declared operation whose body is given, to exercise the frame around every operation.
OperationDeclaration probe(std::function<std::optional<Text>(TextView, RunContext&)> body,
                           bool setsStopFlagOnError = false) {
    return declare<NoOptions>({
        .info = {.code = 99, .errorMessage = u"own error", .setsStopFlagOnError = setsStopFlagOnError},
        .run = [body](TextView upper, NoOptions&, RunContext& ctx) { return body(upper, ctx); },
    });
}

DispatchResult dispatchProbe(const OperationDeclaration& op, FakeContext& ctx) {
    return dispatch(op, u"a", OptionTexts::defaults(op, kToday), ctx);
}

TEST(RunFrame, EveryFailureIsTheOperationsOwnMessage) {
    const std::vector<std::function<std::optional<Text>(TextView, RunContext&)>> failures = {
        [](TextView, RunContext&) -> std::optional<Text> { throw std::bad_alloc(); },
        [](TextView, RunContext&) -> std::optional<Text> { throw std::length_error("too long"); },
        [](TextView, RunContext&) -> std::optional<Text> { throw std::out_of_range("position"); },
        [](TextView, RunContext&) -> std::optional<Text> { throw RunTimeError("overflow"); },
        [](TextView, RunContext&) -> std::optional<Text> { return Text(u"x").substr(2); },
    };
    for (const auto& body : failures) {
        FakeContext ctx;
        EXPECT_EQ(dispatchProbe(probe(body), ctx).lower, std::nullopt);
        EXPECT_EQ(ctx.shown, std::vector{exclamation(u"own error")});
        EXPECT_FALSE(ctx.stop);
    }
    // The month enumerations mark a failed run as aborted.
    FakeContext ctx;
    dispatchProbe(probe(failures[0], true), ctx);
    EXPECT_TRUE(ctx.stop);
}

TEST(RunFrame, StoppedOrClosingRunsWriteNothingSilently) {
    const auto result = [](TextView, RunContext&) { return std::optional<Text>(u"result"); };
    FakeContext stopped;
    stopped.stop = true;
    EXPECT_EQ(dispatchProbe(probe(result), stopped).lower, std::nullopt);
    FakeContext closing = closingContext();
    EXPECT_EQ(
        dispatchProbe(probe([](TextView, RunContext&) -> std::optional<Text> { throw std::bad_alloc(); }),
                      closing)
            .lower,
        std::nullopt);
    EXPECT_TRUE(stopped.shown.empty());
    EXPECT_TRUE(closing.shown.empty());
    FakeContext running;
    EXPECT_EQ(dispatchProbe(probe(result), running).lower, Text(u"result"));
    EXPECT_TRUE(running.shown.empty());
}

// The frame's own refusals, whichever front end runs: an empty upper text for an operation that
// needs one (unless the front end judged it already), and a result the front end cannot show.
TEST(RunFrame, EmptyUpperTextAndAResultTheFrontEndCannotShow) {
    const auto ranWith = [](const OperationDeclaration& op, UpperText upper, FakeContext ctx) {
        ctx.judgesEmpty = false;
        const DispatchResult r = dispatch(op, upper, OptionTexts::defaults(op, kToday), ctx);
        return std::pair(r.hasResult(), ctx.shown);
    };
    const std::vector refused{info(kUpperTextMissing)};
    EXPECT_EQ(ranWith(kReverseText, TextView(), {}), std::pair(false, refused));
    EXPECT_EQ(ranWith(kReverseText, std::string_view(), {}), std::pair(false, refused));
    FakeContext judged;
    judged.judgesEmpty = true;
    EXPECT_TRUE(
        dispatch(kReverseText, TextView(), OptionTexts::defaults(kReverseText, kToday), judged).hasResult());
    EXPECT_NE(ranWith(kListMonthEnds, TextView(), {}).second, refused);

    const auto result = [](TextView, RunContext&) { return std::optional<Text>(u"result"); };
    for (const bool setsStopFlag : {false, true}) {
        FakeContext narrow;
        narrow.longestShown = 5;
        EXPECT_FALSE(dispatchProbe(probe(result, setsStopFlag), narrow).hasResult());
        EXPECT_EQ(narrow.shown, std::vector{exclamation(u"own error")});
        EXPECT_EQ(narrow.stop, setsStopFlag);
    }
}

TEST(RunFrame, ABadOptionValueIsTheOperationsError) {
    EXPECT_EQ(
        run(kReverseText, u"a\r\nb", {{"Combo41", u"数行おきにリバースする"}, {"Combo42", u"x"}}).ctx.shown,
        std::vector{exclamation(kGeneralError)});
    EXPECT_EQ(run(kGenerateLoop, u"a1", {{"Check1(0)", u"1"}, {"ComboFm(0)", u"01"}}).ctx.shown,
              std::vector{exclamation(kLoopError)});
}

// A result beyond what memory allows is refused with the operation's message before it is built,
// however it would grow.
TEST(RunFrame, AResultBeyondTheBudgetIsRefusedBeforeItIsBuilt) {
    const Text wide(500, u'w');
    const struct {
        int code;
        Text upper;
        Settings settings;
    } rows[] = {
        {2, u"a\tb\tc", {{"Combo40", u"Tab(タブ)"}, {"Text26", wide}}},
        {2, u"a\r\nb", {{"Text26", wide}}},
        {4, u"a\nb\nc", {{"Text3", wide}}},
        {5, u"1a2", {{"Text4", wide}}},
        {6, u"ab\ncd\nef", {{"Text5", wide}}},
        {19, u"<a>\n<b>", {{"Text16", u"<"}, {"Text17", u">"}, {"Text18", wide}}},
        {21, u"ab\ncd", {{"Text34", wide}}},
        {26, u"a1", {{"Check1(0)", u"1"}, {"Text6", u"1000"}}},
        {29, u"a1", {{"Text41", u"715000000"}, {"Combo35", u"999"}}},
        {31, u"2024/01/01", {{"Text24", u"1000"}}},
        {40, Text(100, u'€'), {}},
        {41, Text(600, u'a'), {{"Combo65", u"1"}}},
    };
    for (const auto& row : rows) {
        FakeContext ctx;
        ctx.setResultBudget(1000);
        const OpRun r = run(operation(row.code), row.upper, row.settings, std::move(ctx));
        EXPECT_EQ(r.out, std::nullopt) << "code " << row.code;
        // After the question of the line-break replacement, if any.
        ASSERT_FALSE(r.ctx.shown.empty()) << "code " << row.code;
        EXPECT_EQ(r.ctx.shown.back(), exclamation(r.errorMessage)) << "code " << row.code;
    }
}

// Running out of memory ends in the operation's message, whichever mode runs: a real allocation
// failure under a limit on the address space, in a child process.
TEST(RunFrame, RunningOutOfMemoryEndsInTheMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves more address space than any limit leaves";
#else
    for (TextView mode : {TextView(u"全文リバースする"), TextView(u"数行おきにリバースする")}) {
        EXPECT_EXIT(
            {
                const Text upper(std::size_t{1} << 26, u'a');  // 128 MiB
                rlimit limit{};
                getrlimit(RLIMIT_AS, &limit);
                // Room for the text and the program, not for the result.
                limit.rlim_cur = std::size_t{1} << 28;
                setrlimit(RLIMIT_AS, &limit);
                const OpRun r = run(kReverseText, upper, {{"Combo41", Text(mode)}});
                const bool reported = !r.out && r.ctx.shown == std::vector{exclamation(kGeneralError)};
                std::_Exit(reported ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << show(mode);
    }
#endif
}

}  // namespace
}  // namespace kivo
