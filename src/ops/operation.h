#pragma once

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ops/run_context.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/lines.h"
#include "text/numeric.h"

namespace kivo {

/// The error message of most operations.
inline constexpr TextView kGeneralError = u"条件が行えない行がある、または文字数、その他のエラーです。";

/// The tabs of the window, in the order of its tab strip; every operation sits on one.
enum class Tab {
    Characters,         // character-level operations
    LinesAndPositions,  // line- and position-level operations
    Loop,               // the loop generator
    SortsAndSeries,     // sorting, numbering and date series
    Japanese,           // Japanese text chores
    OfficeChores,       // dates in one form, business days, legacy characters, kanji numerals
    Patterns,           // regular expressions, replacement lists, CSV and TSV columns
};

/// What kind of value a parameter takes, which decides how the window shows it and the command
/// line names its values.
enum class ParamKind {
    List,    // one of fixed entries
    Count,   // a whole number within a range
    String,  // a text
    Check,   // yes or no: "1" or "0"
    Date,    // a date: yyyy/mm/dd
};

/// How a list parameter reads a text that is none of its entries (which only the command line can
/// send: the window's input rules keep the entries).
enum class OtherText {
    IsError,               // a run-time error, reported with the operation's error message
    RunsNothing,           // the variant choice: the run ends before the operation, silently
    ResetsAndRunsNothing,  // as RunsNothing, and the option is set back to its default
    IsLastEntry,           // read as the last entry ("左" is the left, any other text the right)
};

/// One entry of a list parameter.
struct ListEntry {
    Text text = {};          // as the window lists it
    std::string alias = {};  // the English value the command line also takes
};

/// An option's text the front end shows after a run (the answer to a question, a variant set back).
struct OptionText {
    std::string option = {};
    Text text = {};
    bool operator==(const OptionText&) const = default;
};

/// One parameter of an operation: the name runs know it by, what it takes and its default, and
/// the window control that holds it, which the command line, recipes and kept sessions also
/// accept as its name.
struct ParamDeclaration {
    std::string option = {};   // "side": the command line's --side
    std::string control = {};  // alias: "Combo31", "Check1(3)"
    ParamKind kind = ParamKind::String;
    Text defaultText = {};
    std::vector<ListEntry> entries = {};  // List
    int min = 0;                          // Count
    int max = 0;
    OtherText otherText = OtherText::IsError;  // List
    /// String: whether the text may hold several lines.
    bool multiLine = false;
    /// What the value is for within its operation, as a screen reader names its control: short
    /// Japanese words ("追加する文字") and their English.
    Text purpose = {};
    std::string englishPurpose = {};
    /// Whether a list text is one of the entries.
    bool isEntry(TextView text) const;
    /// Whether a text that is none of the entries ends the run before the operation.
    bool isVariant() const {
        return otherText == OtherText::RunsNothing || otherText == OtherText::ResetsAndRunsNothing;
    }
};

/// A run that shows what an operation does, for the help and the tooltips: the upper text, the
/// command line's options (named form) and the lower text.
struct Example {
    Text input = {};
    std::vector<std::string> options = {};
    Text output = {};
};

/// What every operation declares besides its options.
struct OperationInfo {
    int code = 0;
    Tab tab = Tab::Characters;
    std::string selector = {};     // alias: the window's "Option1(4)", "Check3"
    std::string name = {};         // "add-text"
    std::string description = {};  // one line, English
    /// The same in plain Japanese, for the window's tooltips and its screen-reader descriptions.
    Text japaneseDescription = {};
    /// The option's caption: its words, with "{option}" where an option's control sits.
    Text caption = {};
    Example example = {};
    /// The message that reports a failed run, unless the operation words it from its options.
    TextView errorMessage = kGeneralError;
    /// The month enumerations run without an upper text.
    bool needsUpperText = true;
    /// The month enumerations mark a failed run as aborted (the stop flag set).
    bool setsStopFlagOnError = false;
    /// Once its checks have passed and it has begun, the run always ends with its result: its
    /// lines may be written out as they are made.
    bool streamsResult = false;
    /// Its result for a text cut after a line break (before a line that is not empty) is the
    /// results of the two parts, one after the other: the command line may run it a block of lines
    /// at a time, in bounded memory and on several cores.
    bool lineLocal = false;
    /// A line-local operation that a later line can still make refuse the whole text (two line
    /// breaks in a row, a line too short): a result run a block at a time is held back until the
    /// last block has run.
    bool refusesSomeLines = false;
    /// A line-local operation that picks lines by their numbers: each block is told the lines
    /// before it (RunContext::linesBefore), and only a run of it alone is cut, as an earlier step
    /// could change the number of lines. A block that picks none gives nothing and adds nothing;
    /// one whose last pick keeps no line break is parted from the next block's picks by one.
    bool countsLines = false;
    /// A line-local operation that shows this message, instead of a result, when it keeps no line:
    /// a block that keeps none adds nothing, and only a text none of whose blocks kept a line shows
    /// the message.
    TextView emptyResultMessage = {};
};

struct OperationDeclaration;

/// The texts of one operation's options by option name, as the window shows them: a list's
/// entry, a number's digits, "1" or "0", a date yyyy/mm/dd. What a run reads.
class OptionTexts {
public:
    /// Every option of `op` at its default, a date at `today`.
    static OptionTexts defaults(const OperationDeclaration& op, Date today);

    /// The option's text; asking for an option the operation lacks is a programming error
    /// (std::out_of_range).
    const Text& text(std::string_view option) const;
    void set(std::string_view option, Text text);

    const std::map<std::string, Text, std::less<>>& all() const& { return m_texts; }
    // Iterating a temporary's texts would dangle.
    const std::map<std::string, Text, std::less<>>& all() && = delete;

private:
    std::map<std::string, Text, std::less<>> m_texts;
};

/// The options of a run whose texts could not be read: their fields keep the defaults of the
/// options struct, and the run ends with the operation's error message once its pre-check passed.
class UnreadOptions {
public:
    void add(std::string option) { m_options.push_back(std::move(option)); }
    bool contains(std::string_view option) const {
        return std::find(m_options.begin(), m_options.end(), option) != m_options.end();
    }
    bool empty() const { return m_options.empty(); }
    const std::vector<std::string>& all() const { return m_options; }

private:
    std::vector<std::string> m_options;
};

/// An operation with its options read from their texts, ready to run once.
class BoundOperation {
public:
    virtual ~BoundOperation() = default;
    /// The options whose texts could not be read, and the failure of the first of them.
    virtual const UnreadOptions& unread() const = 0;
    virtual void rethrowReadFailure() const = 0;
    /// The pre-check's message, or nothing when the run may go on.
    virtual std::optional<Text> refusal() const = 0;
    /// The message that reports a failed run.
    virtual TextView errorMessage() const = 0;
    /// The lower text, or nothing when the run ends without one (its messages shown).
    virtual std::optional<Text> run(TextView upper, RunContext& ctx) = 0;
    /// The options the run changed.
    virtual std::vector<OptionText> changedOptions() const = 0;
    /// Whether runUtf8 takes these UTF-8 bytes of the upper text.
    virtual bool takesUtf8(std::string_view upper) const = 0;
    /// run() on the UTF-8 bytes themselves, giving the UTF-8 of its result.
    virtual std::optional<std::string> runUtf8(std::string_view upper, RunContext& ctx) = 0;
    /// Whether the operation, declared line-local, is so with these options.
    virtual bool lineLocal() const = 0;
};

/// An operation as the window, the command line and the dispatcher know it.
struct OperationDeclaration : OperationInfo {
    std::vector<ParamDeclaration> params = {};
    /// Reads the options from their texts.
    std::function<std::unique_ptr<BoundOperation>(const OptionTexts&)> bind = {};
    /// A run on UTF-8 bytes.
    bool hasUtf8Run = false;
    /// Line-local with some of its options only (Declaration::lineLocalWith).
    bool lineLocalWithSome = false;

    /// The parameter of the option named `option`, or nullptr.
    const ParamDeclaration* param(std::string_view option) const;
    /// The parameter whose window control is `control`, or nullptr.
    const ParamDeclaration* paramAliased(std::string_view control) const;
    /// The parameter called `called`, its option's name or its control's, or nullptr.
    const ParamDeclaration* paramCalled(std::string_view called) const {
        const ParamDeclaration* p = param(called);
        return p ? p : paramAliased(called);
    }
};

/// A count the operation holds in a narrower quantity than its list offers (a position from a
/// list of 0 to 999 held in 8 bits): a value that does not fit is the run-time error, raised
/// where the operation takes the value, as the quantity itself would overflow there.
template <std::integral Narrow>
class Held {
public:
    Held(int value = 0) : m_value(value) {}  // NOLINT: a count converts to its holder
    Narrow value() const { return checked<Narrow>(m_value); }
    bool fits() const { return std::in_range<Narrow>(m_value); }
    int count() const { return m_value; }

private:
    int m_value;
};

/// One parameter bound to a member of the options struct `Options`.
template <typename Options>
struct Param {
    ParamDeclaration declaration = {};
    std::function<void(Options&, const Text&)> read = {};
    std::function<Text(const Options&)> write = {};

    /// The window control that holds the option, also accepted as its name.
    Param alias(std::string control) && {
        declaration.control = std::move(control);
        return std::move(*this);
    }
    /// What the value is for, in Japanese and in English.
    Param purpose(Text japanese, std::string english) && {
        declaration.purpose = std::move(japanese);
        declaration.englishPurpose = std::move(english);
        return std::move(*this);
    }
    /// Another default than the factory's.
    Param withDefault(Text text) && {
        declaration.defaultText = std::move(text);
        return std::move(*this);
    }
};

/// A failed pre-check's message, or nothing when the run may go on.
template <typename Options>
using PreCheck = std::function<std::optional<Text>(const Options& options)>;

/// An error message worded from the options read (the direction of a count), in place of the
/// declared one.
template <typename Options>
using ErrorMessageOf = std::function<TextView(const Options& options, const UnreadOptions& unread)>;

/// How a module declares its operation: what every operation declares, and its typed options.
template <typename Options>
struct Declaration {
    OperationInfo info = {};
    std::vector<Param<Options>> params = {};
    /// Runs on the options read, those that failed to read at their defaults, before the
    /// operation; its message comes before any failure to read an option.
    PreCheck<Options> preCheck = {};
    ErrorMessageOf<Options> errorMessageOf = {};
    /// The operation. It may change its options (an answer to a question): the changed options
    /// are given back to the front end.
    std::function<std::optional<Text>(TextView upper, Options& options, RunContext& ctx)> run = {};
    /// For the command line: the same operation on UTF-8 bytes, for the texts it takes.
    std::function<bool(std::string_view upper, const Options& options)> takesUtf8 = {};
    std::function<std::optional<std::string>(std::string_view upper, const Options& options, RunContext& ctx)>
        runUtf8 = {};
    /// For an operation declared line-local: the options with which it is (none: all).
    std::function<bool(const Options& options)> lineLocalWith = {};
};

namespace detail {

template <typename Options>
class Bound final : public BoundOperation {
public:
    Bound(std::shared_ptr<const Declaration<Options>> declaration, const OptionTexts& texts)
        : m_declaration(std::move(declaration)) {
        for (const Param<Options>& p : m_declaration->params) {
            try {
                p.read(m_options, texts.text(p.declaration.option));
            } catch (const std::exception&) {
                if (m_unread.empty()) m_readFailure = std::current_exception();
                m_unread.add(p.declaration.option);
            }
        }
        m_read = m_options;
    }

    const UnreadOptions& unread() const override { return m_unread; }
    void rethrowReadFailure() const override {
        if (m_readFailure) std::rethrow_exception(m_readFailure);
    }
    std::optional<Text> refusal() const override {
        return m_declaration->preCheck ? m_declaration->preCheck(m_read) : std::nullopt;
    }
    TextView errorMessage() const override {
        return m_declaration->errorMessageOf ? m_declaration->errorMessageOf(m_read, m_unread)
                                             : m_declaration->info.errorMessage;
    }
    std::optional<Text> run(TextView upper, RunContext& ctx) override {
        return m_declaration->run(upper, m_options, ctx);
    }
    std::vector<OptionText> changedOptions() const override {
        std::vector<OptionText> changed;
        for (const Param<Options>& p : m_declaration->params) {
            Text now = p.write(m_options);
            if (now != p.write(m_read)) changed.push_back({p.declaration.option, std::move(now)});
        }
        return changed;
    }
    bool takesUtf8(std::string_view upper) const override {
        return m_declaration->takesUtf8 && m_declaration->takesUtf8(upper, m_options);
    }
    std::optional<std::string> runUtf8(std::string_view upper, RunContext& ctx) override {
        return m_declaration->runUtf8(upper, m_options, ctx);
    }
    bool lineLocal() const override {
        return m_declaration->info.lineLocal &&
               (!m_declaration->lineLocalWith || m_declaration->lineLocalWith(m_options));
    }

private:
    std::shared_ptr<const Declaration<Options>> m_declaration;
    Options m_options{};
    Options m_read{};
    UnreadOptions m_unread;
    std::exception_ptr m_readFailure;
};

}  // namespace detail

/// The declaration the rest of the program reads, from a module's typed declaration.
template <typename Options>
OperationDeclaration declare(Declaration<Options> typed) {
    // The texts are moved, not copied: the typed declaration keeps only what a bound run reads.
    OperationDeclaration d;
    static_cast<OperationInfo&>(d) = std::move(typed.info);
    typed.info = {.errorMessage = d.errorMessage, .lineLocal = d.lineLocal};
    d.params.reserve(typed.params.size());
    for (Param<Options>& p : typed.params) {
        d.params.push_back(std::move(p.declaration));
        p.declaration = {.option = d.params.back().option};
    }
    auto shared = std::make_shared<const Declaration<Options>>(std::move(typed));
    d.hasUtf8Run = static_cast<bool>(shared->runUtf8);
    d.lineLocalWithSome = d.lineLocal && shared->lineLocalWith;
    d.bind = [shared](const OptionTexts& texts) -> std::unique_ptr<BoundOperation> {
        return std::make_unique<detail::Bound<Options>>(shared, texts);
    };
    return d;
}

/// An operation's declaration, made the first time it is asked for: a program that runs one
/// operation does not build every other one's lists and texts as it starts. Its code and name,
/// which find it, are known without it.
class LazyOperation {
public:
    using Make = OperationDeclaration (*)();
    constexpr LazyOperation(int code, std::string_view name, Make make)
        : m_code(code), m_name(name), m_make(make) {}
    LazyOperation(const LazyOperation&) = delete;
    LazyOperation& operator=(const LazyOperation&) = delete;

    int code() const { return m_code; }
    std::string_view name() const { return m_name; }
    const OperationDeclaration& get() const {
        std::call_once(m_once, [this] {
            m_made.emplace(m_make());
            m_made->code = m_code;
            m_made->name = m_name;
        });
        return *m_made;
    }
    operator const OperationDeclaration&() const { return get(); }  // NOLINT: stands for it
    const OperationDeclaration* operator->() const { return &get(); }

private:
    int m_code;
    std::string_view m_name;
    Make m_make;
    mutable std::once_flag m_once;
    mutable std::optional<OperationDeclaration> m_made;
};

/// The caption as a screen reader says it: without its access key ("(&I)"), each blank ("…")
/// filled by the words given for it in brackets, in order; a blank given empty words (a check
/// box's, whose caption follows it) is left out.
Text spokenCaption(TextView caption, const std::vector<Text>& blanks);

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
            [field, reader = std::move(reader)](Options& o, const Text& text) {
                std::invoke(field, o) = reader(text);
            },
            [field, writer = std::move(writer)](const Options& o) { return writer(std::invoke(field, o)); }};
}

/// A list whose first entry is the default.
template <typename Options, typename Value, typename Field>
Param<Options> listParam(Field field, std::string option, std::vector<Choice<Value>> choices,
                         OtherText otherText = OtherText::IsError) {
    // The reader and the writer share one list: the window builds every declaration as it starts,
    // and the loop alone has 34 lists.
    const auto list = std::make_shared<const std::vector<Choice<Value>>>(std::move(choices));
    ParamDeclaration d{.option = std::move(option),
                       .kind = ParamKind::List,
                       .defaultText = list->front().text,
                       .otherText = otherText};
    d.entries.reserve(list->size());
    for (const Choice<Value>& c : *list)
        d.entries.push_back({c.text, c.alias});
    auto reader = [list, otherText](const Text& text) {
        for (const Choice<Value>& c : *list)
            if (c.text == text) return c.value;
        if (otherText != OtherText::IsLastEntry) throw RunTimeError("not an entry of the list");
        return list->back().value;
    };
    auto writer = [list](const Value& value) {
        for (const Choice<Value>& c : *list)
            if (c.value == value) return c.text;
        return Text();
    };
    return makeParam<Options>(std::move(d), field, std::move(reader), std::move(writer));
}
template <typename Options, typename Value>
Param<Options> listParam(Value Options::*member, std::string option, std::vector<Choice<Value>> choices,
                         OtherText otherText = OtherText::IsError) {
    return listParam<Options, Value, Value Options::*>(member, std::move(option), std::move(choices),
                                                       otherText);
}

/// A list's value with the text it was given as: a message quotes the list as it stands, even a
/// text that is none of its entries.
template <typename Value>
struct Listed {
    Value value;
    Text text;
};

/// A list that also keeps its text; the text is kept when it fails to read as well.
template <typename Options, typename Value>
Param<Options> listParam(Listed<Value> Options::*member, std::string option,
                         std::vector<Choice<Value>> choices, OtherText otherText = OtherText::IsError) {
    Param<Options> p = listParam<Options, Value>(
        [member](auto& o) -> auto& { return (o.*member).value; }, std::move(option), std::move(choices),
        otherText);
    p.read = [member, read = std::move(p.read)](Options& o, const Text& text) {
        (o.*member).text = text;
        read(o, text);
    };
    return p;
}

namespace detail {
inline int countOf(int value) {
    return value;
}
template <typename Narrow>
int countOf(const Held<Narrow>& value) {
    return value.count();
}
}  // namespace detail

/// A whole number min..max (a combo lists the range), read as countFrom reads it.
template <typename Options, typename Field>
Param<Options> countParam(Field field, std::string option, int min, int max,
                          std::optional<int> defaultValue = std::nullopt) {
    ParamDeclaration d{.option = std::move(option),
                       .kind = ParamKind::Count,
                       .defaultText = decimalText(defaultValue.value_or(min)),
                       .min = min,
                       .max = max};
    return makeParam<Options>(
        std::move(d), field, [min, max](const Text& text) { return countFrom(text, min, max); },
        [](const auto& value) { return decimalText(detail::countOf(value)); });
}
template <typename Options, typename Value>
Param<Options> countParam(Value Options::*member, std::string option, int min, int max,
                          std::optional<int> defaultValue = std::nullopt) {
    return countParam<Options, Value Options::*>(member, std::move(option), min, max, defaultValue);
}

inline constexpr bool kSeveralLines = true;

/// A text, taken as it is.
template <typename Options, typename Field>
Param<Options> textParam(Field field, std::string option, bool multiLine = false, Text defaultText = {}) {
    ParamDeclaration d{.option = std::move(option),
                       .kind = ParamKind::String,
                       .defaultText = std::move(defaultText),
                       .multiLine = multiLine};
    return makeParam<Options>(
        std::move(d), field, [](const Text& text) { return text; }, [](const Text& text) { return text; });
}
template <typename Options>
Param<Options> textParam(Text Options::*member, std::string option, bool multiLine = false,
                         Text defaultText = {}) {
    return textParam<Options, Text Options::*>(member, std::move(option), multiLine, std::move(defaultText));
}

/// A number typed into a text box (or a combo whose rule lets more than its entries through), kept
/// as its text for the operation to read as the rule defines; `min`..`max` is what the rule lets
/// through.
template <typename Options, typename Field>
Param<Options> numberTextParam(Field field, std::string option, int min, int max, Text defaultText) {
    Param<Options> p = textParam<Options, Field>(field, std::move(option), false, std::move(defaultText));
    p.declaration.kind = ParamKind::Count;
    p.declaration.min = min;
    p.declaration.max = max;
    return p;
}
template <typename Options>
Param<Options> numberTextParam(Text Options::*member, std::string option, int min, int max,
                               Text defaultText) {
    return numberTextParam<Options, Text Options::*>(member, std::move(option), min, max,
                                                     std::move(defaultText));
}

/// Yes or no: "1" or "0"; any other text is a run-time error.
template <typename Options, typename Field>
Param<Options> checkParam(Field field, std::string option, bool ticked = false) {
    ParamDeclaration d{
        .option = std::move(option), .kind = ParamKind::Check, .defaultText = ticked ? u"1" : u"0"};
    auto reader = [](const Text& text) {
        if (text != u"0" && text != u"1") throw RunTimeError("not a check box value");
        return text == u"1";
    };
    return makeParam<Options>(std::move(d), field, reader, [](bool b) { return Text(b ? u"1" : u"0"); });
}
template <typename Options>
Param<Options> checkParam(bool Options::*member, std::string option, bool ticked = false) {
    return checkParam<Options, bool Options::*>(member, std::move(option), ticked);
}

/// A date, yyyy/mm/dd; today by default.
template <typename Options>
Param<Options> dateParam(Date Options::*member, std::string option) {
    ParamDeclaration d{.option = std::move(option), .kind = ParamKind::Date};
    auto reader = [](const Text& text) {
        const std::optional<Date> date = parseDate(text);
        if (!date) throw RunTimeError("not a date");
        return *date;
    };
    return makeParam<Options>(std::move(d), member, reader,
                              [](const Date& date) { return formatDate(date); });
}

}  // namespace kivo
