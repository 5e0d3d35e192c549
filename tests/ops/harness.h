#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fake_context.h"
#include "ops/dispatch.h"
#include "ops/registry.h"
#include "text/utf8.h"

// The one way operation tests run an operation: through the dispatcher, as Execute does.
namespace kivo::test {

/// Options changed from their defaults, each named by its option or by its control.
using Settings = std::vector<std::pair<std::string, Text>>;

/// An option a run changed, named by its control.
struct ControlText {
    std::string control;
    Text text;
    bool operator==(const ControlText&) const = default;
};

/// Today's date for the date pickers.
inline constexpr Date kToday{2024, 5, 1};

/// One run: how it ended, its result, the controls it changed, the message it reports a failure
/// with and what the context saw.
struct OpRun {
    DispatchEnd end = DispatchEnd::Ran;
    std::optional<Text> out;
    std::vector<ControlText> changed;
    Text errorMessage;
    FakeContext ctx;

    std::vector<Text> messages() const { return ctx.texts(); }
};

/// The options of `op` at their defaults changed by `settings`; a control of another operation is
/// left unread, as the command line leaves it.
inline OptionTexts optionsOf(const OperationDeclaration& op, const Settings& settings) {
    OptionTexts options = OptionTexts::defaults(op, kToday);
    for (const auto& [name, value] : settings) {
        if (const ParamDeclaration* p = op.paramCalled(name)) {
            options.set(p->option, value);
        } else if (!paramAliased(name)) {
            throw std::invalid_argument(op.name + " has no option " + name);
        }
    }
    return options;
}

/// Runs `op` on `upper` with its defaults changed by `settings`: its pre-check, its variant
/// choice, and the operation in its run frame.
inline OpRun run(const OperationDeclaration& op, TextView upper, const Settings& settings = {},
                 FakeContext ctx = {}) {
    const OptionTexts options = optionsOf(op, settings);
    OpRun r;
    r.ctx = std::move(ctx);
    DispatchResult result = dispatch(op, upper, options, r.ctx);
    r.end = result.end;
    r.out = std::move(result.lower);
    for (const OptionText& changed : result.changed)
        r.changed.push_back({op.param(changed.option)->control, changed.text});
    r.errorMessage = Text(result.errorMessage);
    return r;
}

/// The run the command line makes on the UTF-8 bytes of `upper` (on the bytes themselves when the
/// operation takes them): its result as UTF-8, and what the context saw.
struct BytesRun {
    std::optional<std::string> out;
    FakeContext ctx;
};
inline BytesRun runOnBytes(const OperationDeclaration& op, TextView upper, const Settings& settings = {}) {
    BytesRun r;
    const std::string bytes = utf8::encode(upper);
    DispatchResult result = dispatch(op, std::string_view(bytes), optionsOf(op, settings), r.ctx);
    if (result.lowerUtf8) r.out = std::move(result.lowerUtf8);
    if (result.lower) r.out = utf8::encode(*result.lower);
    return r;
}

inline std::optional<std::string> utf8Of(const std::optional<Text>& text) {
    return text ? std::optional(utf8::encode(*text)) : std::nullopt;
}

inline FakeContext stoppingAfter(int polls) {
    FakeContext ctx;
    ctx.stopAfterPolls = polls;
    return ctx;
}

inline FakeContext closingContext() {
    FakeContext ctx;
    ctx.closingFlag = true;
    return ctx;
}

/// Questions take these answers in order, then Yes.
inline FakeContext answering(std::deque<Answer> answers) {
    FakeContext ctx;
    ctx.answers = std::move(answers);
    return ctx;
}

inline FakeContext::Shown info(TextView text) {
    return {Icon::Information, Text(text)};
}
inline FakeContext::Shown exclamation(TextView text) {
    return {Icon::Exclamation, Text(text)};
}
inline FakeContext::Shown question(TextView text) {
    return {Icon::Question, Text(text)};
}

/// Readable failure output for UTF-16 texts: line breaks, BS and Tab spelled out.
inline std::string show(TextView s) {
    std::string out;
    for (char16_t c : s) {
        if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\b') {
            out += "\\b";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
        }
    }
    return out;
}

// A Text converts both to a TextView and to an optional Text: it needs its own overload.
inline std::string show(const Text& s) {
    return show(TextView(s));
}

/// Failure output of the messages a run showed (found by GoogleTest through the type's namespace).
inline void PrintTo(const FakeContext::Shown& shown, std::ostream* os) {
    const char* icon = shown.icon == Icon::Information   ? "information: "
                       : shown.icon == Icon::Exclamation ? "exclamation: "
                                                         : "question: ";
    *os << icon << show(TextView(shown.text));
}

inline std::string show(const std::optional<Text>& s) {
    return s ? show(TextView(*s)) : std::string("(nothing)");
}

/// One row of an operation's table: the upper text and the settings, the result (nothing when the
/// run gives none) and the messages it shows.
struct OpRow {
    TextView upper;
    Settings settings;
    std::optional<Text> out;
    std::vector<FakeContext::Shown> shown = {};
};

inline void expectRows(const OperationDeclaration& op, const std::vector<OpRow>& rows) {
    for (const OpRow& row : rows) {
        const OpRun r = run(op, row.upper, row.settings);
        std::string settings;
        for (const auto& [name, value] : row.settings)
            settings += " " + name + "=" + show(value);
        EXPECT_EQ(r.out, row.out) << op.name << ": " << show(row.upper) << settings;
        EXPECT_EQ(r.ctx.shown, row.shown) << op.name << ": " << show(row.upper) << settings;
    }
}

}  // namespace kivo::test
