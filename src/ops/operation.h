#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ops/params.h"
#include "ops/run_context.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/lines.h"

namespace kivo {

/// The error message of most operations.
inline constexpr TextView kGeneralError = u"条件が行えない行がある、または文字数、その他のエラーです。";

/// What kind of control a parameter is, which decides how the window shows it and the command
/// line names its values.
enum class ParamKind {
    List,    // a combo of fixed entries
    Count,   // a whole number within a range, in a combo (listing the range) or a text box
    String,  // a text box
    Check,   // a check box: "1" ticked, "0" clear
    Date,    // a date picker: yyyy/mm/dd
};

/// How a list parameter reads a text that is none of its entries (which only the command line can
/// send: the window's input rules keep the entries).
enum class OtherText {
    IsError,               // a run-time error, reported with the operation's error message
    RunsNothing,           // the variant choice: the run ends before the operation, silently
    ResetsAndRunsNothing,  // as RunsNothing, and the control is set back to its default
    IsLastEntry,           // read as the last entry ("左" is the left, any other text the right)
};

/// One entry of a list parameter.
struct ListEntry {
    Text text = {};          // as the window lists it
    std::string alias = {};  // the English value the command line also takes
};

/// A control text the window must show after a run (the answer to a question, a variant set back).
struct ControlText {
    std::string control = {};
    Text text = {};
    bool operator==(const ControlText&) const = default;
};

/// One parameter of an operation: the window control that holds it, the command-line option that
/// sets it, what it takes and its load default.
struct ParamDeclaration {
    std::string control = {};  // "Combo31", "Check1(3)"
    std::string option = {};   // "side": the command line's --side
    ParamKind kind = ParamKind::String;
    Text defaultText = {};
    std::vector<ListEntry> entries = {};  // List
    int min = 0;                          // Count
    int max = 0;
    OtherText otherText = OtherText::IsError;  // List
    /// Text: whether the box takes several lines.
    bool multiLine = false;
    /// Whether a list text is one of the entries.
    bool isEntry(TextView text) const;
};

/// An operation with its options read from the control texts, ready to run once.
class BoundOperation {
public:
    virtual ~BoundOperation() = default;
    /// The lower text, or nothing when the run ends without one (its messages shown).
    virtual std::optional<Text> run(TextView upper, RunContext& ctx) = 0;
    /// The parameters the run changed, as control texts.
    virtual std::vector<ControlText> changedControls() const = 0;
    /// Whether runUtf8 takes these UTF-8 bytes of the upper text.
    virtual bool takesUtf8(std::string_view upper) const = 0;
    /// run() on the UTF-8 bytes themselves, giving the UTF-8 of its result.
    virtual std::optional<std::string> runUtf8(std::string_view upper, RunContext& ctx) = 0;
    /// Whether runUtf8Lines takes any UTF-8 text with these options.
    virtual bool takesUtf8Lines() const = 0;
    /// runUtf8 on a text read a block of lines at a time.
    virtual std::optional<std::string> runUtf8Lines(Utf8LineBlocks& upper, RunContext& ctx) = 0;
};

/// A run that shows what an operation does, for the help and the tooltips: the upper text, the
/// command line's options (named form) and the lower text.
struct Example {
    Text input = {};
    std::vector<std::string> options = {};
    Text output = {};
};

/// A failed pre-check's message, or nothing when the run may go on. Pre-checks read the control
/// texts as they are, before the options are read.
using PreCheck = std::optional<Text> (*)(const Params& params);

/// An error message that depends on a control's text (the direction of a count), in place of the
/// declared one.
using ErrorMessageFor = TextView (*)(const Params& params);

/// An operation as the window, the command line and the dispatcher know it.
struct OperationDeclaration {
    int code = 0;
    int tab = 0;
    std::string selector = {};     // "Option1(4)", "Check3"
    std::string name = {};         // "add-text"
    std::string description = {};  // one line, English
    Text caption = {};             // the option's caption, "…" where its controls sit
    Example example = {};
    TextView errorMessage = kGeneralError;
    ErrorMessageFor errorMessageFor = nullptr;
    std::vector<ParamDeclaration> params = {};
    PreCheck preCheck = nullptr;
    /// The month enumerations run without an upper text.
    bool needsUpperText = true;
    /// The month enumerations mark a failed run as aborted (the stop flag set).
    bool setsStopFlagOnError = false;
    /// Once its checks have passed and it has begun, the run always ends with its result: its
    /// lines may be written out as they are made.
    bool streamsResult = false;
    /// Reads the options from the control texts; a value the operation cannot take is a
    /// run-time error.
    std::function<std::unique_ptr<BoundOperation>(const Params&)> bind = {};
    /// A run on UTF-8 bytes: on the whole text, or on any text a block of lines at a time.
    bool hasUtf8Run = false;
    bool hasUtf8LinesRun = false;

    const ParamDeclaration* param(std::string_view control) const;
    /// The message that reports a failed run.
    TextView errorMessageOf(const Params& texts) const {
        return errorMessageFor ? errorMessageFor(texts) : errorMessage;
    }
};

/// One parameter bound to a member of the options struct `Options`.
template <typename Options>
struct Param {
    ParamDeclaration declaration = {};
    std::function<void(Options&, const Text&)> read = {};
    std::function<Text(const Options&)> write = {};
};

/// How a module declares its operation: the typed form of OperationDeclaration.
template <typename Options>
struct Declaration {
    int code = 0;
    int tab = 0;
    std::string selector = {};
    std::string name = {};
    std::string description = {};
    Text caption = {};
    Example example = {};
    TextView errorMessage = kGeneralError;
    ErrorMessageFor errorMessageFor = nullptr;
    std::vector<Param<Options>> params = {};
    PreCheck preCheck = nullptr;
    bool needsUpperText = true;
    bool setsStopFlagOnError = false;
    bool streamsResult = false;
    /// The operation. It may change its options (an answer to a question): the changed
    /// parameters are given back to the window.
    std::function<std::optional<Text>(TextView upper, Options& options, RunContext& ctx)> run = {};
    /// For the command line: the same operation on UTF-8 bytes, for the texts it takes.
    std::function<bool(std::string_view upper, const Options& options)> takesUtf8 = {};
    std::function<std::optional<std::string>(std::string_view upper, const Options& options, RunContext& ctx)>
        runUtf8 = {};
    /// Or the same operation on any UTF-8 text read a block of whole lines at a time, which the
    /// command line need not hold whole (a text held whole is one block), for the options it takes.
    std::function<bool(const Options& options)> takesUtf8Lines = {};
    std::function<std::optional<std::string>(Utf8LineBlocks& upper, const Options& options, RunContext& ctx)>
        runUtf8Lines = {};
};

namespace detail {

template <typename Options>
class Bound final : public BoundOperation {
public:
    Bound(std::shared_ptr<const Declaration<Options>> declaration, const Params& params)
        : m_declaration(std::move(declaration)) {
        for (const Param<Options>& p : m_declaration->params)
            p.read(m_options, params.text(p.declaration.control));
        m_read = m_options;
    }

    std::optional<Text> run(TextView upper, RunContext& ctx) override {
        return m_declaration->run(upper, m_options, ctx);
    }
    std::vector<ControlText> changedControls() const override {
        std::vector<ControlText> changed;
        for (const Param<Options>& p : m_declaration->params) {
            Text now = p.write(m_options);
            if (now != p.write(m_read)) changed.push_back({p.declaration.control, std::move(now)});
        }
        return changed;
    }
    bool takesUtf8(std::string_view upper) const override {
        if (m_declaration->runUtf8Lines) return takesUtf8Lines();
        return m_declaration->takesUtf8 && m_declaration->takesUtf8(upper, m_options);
    }
    std::optional<std::string> runUtf8(std::string_view upper, RunContext& ctx) override {
        if (m_declaration->runUtf8Lines) {
            WholeUtf8Text whole(upper);
            return runUtf8Lines(whole, ctx);
        }
        return m_declaration->runUtf8(upper, m_options, ctx);
    }
    bool takesUtf8Lines() const override {
        return m_declaration->takesUtf8Lines && m_declaration->takesUtf8Lines(m_options);
    }
    std::optional<std::string> runUtf8Lines(Utf8LineBlocks& upper, RunContext& ctx) override {
        return m_declaration->runUtf8Lines(upper, m_options, ctx);
    }

private:
    std::shared_ptr<const Declaration<Options>> m_declaration;
    Options m_options{};
    Options m_read{};
};

}  // namespace detail

/// The declaration the rest of the program reads, from a module's typed declaration.
template <typename Options>
OperationDeclaration declare(Declaration<Options> typed) {
    auto shared = std::make_shared<const Declaration<Options>>(std::move(typed));
    OperationDeclaration d{.code = shared->code,
                           .tab = shared->tab,
                           .selector = shared->selector,
                           .name = shared->name,
                           .description = shared->description,
                           .caption = shared->caption,
                           .example = shared->example,
                           .errorMessage = shared->errorMessage,
                           .errorMessageFor = shared->errorMessageFor,
                           .params = {},
                           .preCheck = shared->preCheck,
                           .needsUpperText = shared->needsUpperText,
                           .setsStopFlagOnError = shared->setsStopFlagOnError,
                           .streamsResult = shared->streamsResult,
                           .bind = nullptr,
                           .hasUtf8Run = shared->runUtf8 || shared->runUtf8Lines,
                           .hasUtf8LinesRun = static_cast<bool>(shared->runUtf8Lines)};
    for (const Param<Options>& p : shared->params)
        d.params.push_back(p.declaration);
    d.bind = [shared](const Params& params) -> std::unique_ptr<BoundOperation> {
        return std::make_unique<detail::Bound<Options>>(shared, params);
    };
    return d;
}

/// An operation without parameters.
struct NoOptions {};

// Parameter factories. A field is a member pointer of the options struct, or a generic lambda
// giving a reference to the value (`[i](auto& o) -> auto& { return o.slots[i].step; }`).

template <typename Value>
struct Choice {
    Text text = {};
    std::string alias = {};
    Value value;
};

/// The decimal digits of a count, with any number of leading zeros (which the rules of the
/// combos starting at 0 leave), within min..max; anything else is a run-time error.
int countFrom(TextView text, int min, int max);

/// A whole number in decimal.
Text decimalText(long long value);

/// The name of a control array member: arrayName("ComboId", 3) is "ComboId(3)".
std::string arrayName(std::string_view array, int index);

template <typename Options, typename Field, typename Reader, typename Writer>
Param<Options> makeParam(ParamDeclaration declaration, Field field, Reader reader, Writer writer) {
    return {std::move(declaration),
            [field, reader](Options& o, const Text& text) { std::invoke(field, o) = reader(text); },
            [field, writer](const Options& o) { return writer(std::invoke(field, o)); }};
}

/// `param` with another load default than its first entry.
template <typename Options>
Param<Options> withDefault(Param<Options> param, Text defaultText) {
    param.declaration.defaultText = std::move(defaultText);
    return param;
}

/// A list whose first entry is the default.
template <typename Options, typename Value, typename Field>
Param<Options> listParam(Field field, std::string control, std::string option,
                         std::vector<Choice<Value>> choices, OtherText otherText = OtherText::IsError) {
    ParamDeclaration d{.control = std::move(control),
                       .option = std::move(option),
                       .kind = ParamKind::List,
                       .defaultText = choices.front().text,
                       .otherText = otherText};
    for (const Choice<Value>& c : choices)
        d.entries.push_back({c.text, c.alias});
    auto reader = [choices, otherText](const Text& text) {
        for (const Choice<Value>& c : choices)
            if (c.text == text) return c.value;
        if (otherText != OtherText::IsLastEntry) throw RunTimeError("not an entry of the list");
        return choices.back().value;
    };
    auto writer = [choices](const Value& value) {
        for (const Choice<Value>& c : choices)
            if (c.value == value) return c.text;
        return Text();
    };
    return makeParam<Options>(std::move(d), field, reader, writer);
}
template <typename Options, typename Value>
Param<Options> listParam(Value Options::*member, std::string control, std::string option,
                         std::vector<Choice<Value>> choices, OtherText otherText = OtherText::IsError) {
    return listParam<Options, Value, Value Options::*>(member, std::move(control), std::move(option),
                                                       std::move(choices), otherText);
}

/// A whole number min..max (a combo lists the range), read as countFrom reads it.
template <typename Options, typename Field>
Param<Options> countParam(Field field, std::string control, std::string option, int min, int max,
                          std::optional<int> defaultValue = std::nullopt) {
    ParamDeclaration d{.control = std::move(control),
                       .option = std::move(option),
                       .kind = ParamKind::Count,
                       .defaultText = decimalText(defaultValue.value_or(min)),
                       .min = min,
                       .max = max};
    return makeParam<Options>(
        std::move(d), field, [min, max](const Text& text) { return countFrom(text, min, max); },
        [](int value) { return decimalText(value); });
}
template <typename Options>
Param<Options> countParam(int Options::*member, std::string control, std::string option, int min, int max,
                          std::optional<int> defaultValue = std::nullopt) {
    return countParam<Options, int Options::*>(member, std::move(control), std::move(option), min, max,
                                               defaultValue);
}

inline constexpr bool kSeveralLines = true;

/// A text, taken as it is.
template <typename Options, typename Field>
Param<Options> textParam(Field field, std::string control, std::string option, bool multiLine = false,
                         Text defaultText = {}) {
    ParamDeclaration d{.control = std::move(control),
                       .option = std::move(option),
                       .kind = ParamKind::String,
                       .defaultText = std::move(defaultText),
                       .multiLine = multiLine};
    return makeParam<Options>(
        std::move(d), field, [](const Text& text) { return text; }, [](const Text& text) { return text; });
}
template <typename Options>
Param<Options> textParam(Text Options::*member, std::string control, std::string option,
                         bool multiLine = false, Text defaultText = {}) {
    return textParam<Options, Text Options::*>(member, std::move(control), std::move(option), multiLine,
                                               std::move(defaultText));
}

/// A number typed into a text box (or a combo whose rule lets more than its entries through), kept
/// as its text for the operation to read as the rule defines; `min`..`max` is what the rule lets
/// through.
template <typename Options, typename Field>
Param<Options> numberTextParam(Field field, std::string control, std::string option, int min, int max,
                               Text defaultText) {
    Param<Options> p = textParam<Options, Field>(field, std::move(control), std::move(option), false,
                                                 std::move(defaultText));
    p.declaration.kind = ParamKind::Count;
    p.declaration.min = min;
    p.declaration.max = max;
    return p;
}
template <typename Options>
Param<Options> numberTextParam(Text Options::*member, std::string control, std::string option, int min,
                               int max, Text defaultText) {
    return numberTextParam<Options, Text Options::*>(member, std::move(control), std::move(option), min, max,
                                                     std::move(defaultText));
}

/// A check box: "1" ticked, "0" clear; any other text is a run-time error.
template <typename Options, typename Field>
Param<Options> checkParam(Field field, std::string control, std::string option, bool ticked = false) {
    ParamDeclaration d{.control = std::move(control),
                       .option = std::move(option),
                       .kind = ParamKind::Check,
                       .defaultText = ticked ? u"1" : u"0"};
    auto reader = [](const Text& text) {
        if (text != u"0" && text != u"1") throw RunTimeError("not a check box value");
        return text == u"1";
    };
    return makeParam<Options>(std::move(d), field, reader, [](bool b) { return Text(b ? u"1" : u"0"); });
}
template <typename Options>
Param<Options> checkParam(bool Options::*member, std::string control, std::string option,
                          bool ticked = false) {
    return checkParam<Options, bool Options::*>(member, std::move(control), std::move(option), ticked);
}

/// A date picker, yyyy/mm/dd; today by default.
template <typename Options>
Param<Options> dateParam(Date Options::*member, std::string control, std::string option) {
    ParamDeclaration d{.control = std::move(control), .option = std::move(option), .kind = ParamKind::Date};
    auto reader = [](const Text& text) {
        const std::optional<Date> date = parseDate(text);
        if (!date) throw RunTimeError("not a date");
        return *date;
    };
    return makeParam<Options>(std::move(d), member, reader,
                              [](const Date& date) { return formatDate(date); });
}

}  // namespace kivo
