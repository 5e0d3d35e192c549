// The engine of the browser edition: the operations, the text files and the recipes as the window
// and the command line have them, called from the page's Web Worker with JSON and UTF-8.
#include <emscripten.h>

#include <cstdint>
#include <deque>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "ops/dispatch.h"
#include "ops/recipe.h"
#include "ops/registry.h"
#include "text/cp932.h"
#include "text/text_files.h"
#include "text/utf8.h"

namespace kivo::web {
namespace {

using Json = nlohmann::json;

std::string utf8Of(TextView text) {
    return utf8::encode(text);
}

// A JavaScript string arrives as UTF-8 from TextEncoder, which writes U+FFFD for a lone surrogate.
Text textOf(const std::string& utf8) {
    return utf8::decode(utf8).value_or(Text());
}

const char* kindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::List:
            return "list";
        case ParamKind::Count:
            return "count";
        case ParamKind::String:
            return "text";
        case ParamKind::Check:
            return "check";
        case ParamKind::Date:
            return "date";
    }
    return "";
}

Json describeParam(const ParamDeclaration& p) {
    Json param = {{"option", p.option},
                  {"control", p.control},
                  {"kind", kindName(p.kind)},
                  {"default", utf8Of(p.defaultText)},
                  {"multiLine", p.multiLine}};
    if (p.kind == ParamKind::Count) {
        param["min"] = p.min;
        param["max"] = p.max;
    }
    for (const ListEntry& e : p.entries)
        param["entries"].push_back({{"text", utf8Of(e.text)}, {"alias", e.alias}});
    return param;
}

Json describeOperation(const OperationDeclaration& op) {
    Json operation = {{"code", op.code},
                      {"tab", static_cast<int>(op.tab)},
                      {"name", op.name},
                      {"description", op.description},
                      {"caption", utf8Of(op.caption)},
                      {"needsUpperText", op.needsUpperText},
                      {"params", Json::array()},
                      {"example",
                       {{"input", utf8Of(op.example.input)},
                        {"options", op.example.options},
                        {"output", utf8Of(op.example.output)}}}};
    for (const ParamDeclaration& p : op.params)
        operation["params"].push_back(describeParam(p));
    return operation;
}

const char* iconName(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return "information";
        case Icon::Exclamation:
            return "exclamation";
        case Icon::Question:
            return "question";
    }
    return "";
}

// A question the answers given do not cover: the run ends, and the page asks the user and runs
// again with one answer more. The operations are pure, so the run comes to the same question.
struct QuestionToAsk {
    Text question;
};

// A run's messages, and its questions answered from the page's answers in order.
class PageContext final : public RunContext {
public:
    explicit PageContext(std::deque<Answer> answers) : m_answers(std::move(answers)) {}

    bool poll() override { return false; }  // the page stops a run by ending its worker
    bool stopFlag() const override { return m_stop; }
    bool closing() const override { return false; }
    void setStopFlag() override { m_stop = true; }

    Json messages = Json::array();

protected:
    void showMessage(Icon icon, TextView message) override {
        messages.push_back({{"icon", iconName(icon)}, {"text", utf8Of(message)}});
    }
    Answer askQuestion(TextView question) override {
        if (m_answers.empty()) throw QuestionToAsk{Text(question)};
        messages.push_back({{"icon", "question"}, {"text", utf8Of(question)}});
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

private:
    std::deque<Answer> m_answers;
    bool m_stop = false;
};

std::deque<Answer> answersOf(const Json& request) {
    std::deque<Answer> answers;
    for (const std::string answer : request.value("answers", Json::array()))
        answers.push_back(answer == "yes" ? Answer::Yes : answer == "no" ? Answer::No : Answer::Cancel);
    return answers;
}

// The texts of the options the page sets, by option name, over their defaults.
OptionTexts paramsOf(const OperationDeclaration& op, const Json& options) {
    OptionTexts texts = OptionTexts::defaults(op, today());
    for (const ParamDeclaration& p : op.params)
        if (options.contains(p.option)) texts.set(p.option, textOf(options[p.option].get<std::string>()));
    return texts;
}

// One step on `upper`: its result, or nothing with the run's messages telling why.
std::optional<Text> runStep(const OperationDeclaration& op, const OptionTexts& params, TextView upper,
                            PageContext& ctx, Json& reply) {
    DispatchResult result = dispatch(op, upper, params, ctx);
    for (const OptionText& changed : result.changed)
        reply["changed"][changed.option] = utf8Of(changed.text);
    if (result.concerned)
        reply["concerned"] = {{"start", result.concerned->start}, {"length", result.concerned->length}};
    if (ctx.cancelled()) return std::nullopt;
    return std::move(result.lower);
}

// Runs `steps` one after the other, as the command line runs a recipe.
Json runAll(const std::vector<std::pair<const OperationDeclaration*, OptionTexts>>& steps, Text upper,
            const Json& request) {
    PageContext ctx(answersOf(request));
    Json reply;
    try {
        std::optional<Text> text = std::move(upper);
        for (std::size_t i = 0; i < steps.size() && text; ++i) {
            reply["step"] = i;
            text = runStep(*steps[i].first, steps[i].second, *text, ctx, reply);
        }
        if (text) reply["result"] = utf8Of(*text);
    } catch (const QuestionToAsk& pending) {
        reply["question"] = utf8Of(pending.question);
    }
    reply["messages"] = ctx.messages;
    return reply;
}

Json runOperation(const Json& request) {
    const OperationDeclaration* op = operationNamed(request.at("operation").get<std::string>());
    if (!op) return {{"error", "unknown operation"}};
    return runAll({{op, paramsOf(*op, request.value("options", Json::object()))}},
                  textOf(request.value("text", "")), request);
}

Json runRecipe(const Json& request) {
    std::vector<std::pair<const OperationDeclaration*, OptionTexts>> steps;
    try {
        for (const RecipeStep& step : parseRecipe(request.at("recipe").get<std::string>(), "recipe"))
            steps.emplace_back(step.call.op, step.call.texts(today()));
    } catch (const UsageError& e) {
        return {{"error", e.message}};
    }
    return runAll(steps, textOf(request.value("text", "")), request);
}

std::optional<TextEncoding> encodingNamed(const std::string& name) {
    if (name == "auto") return std::nullopt;
    for (const auto& [word, encoding] : cli::encodingWords(false))
        if (word == name) return encoding;
    return TextEncoding::Utf8;
}

const char* lineBreakName(LineBreak lineBreak) {
    return lineBreak == LineBreak::Lf ? "lf" : "crlf";
}

std::string encodingWord(TextEncoding encoding) {
    for (const auto& [word, named] : cli::encodingWords(false))
        if (named == encoding) return word;
    return "utf-8";
}

// What a call gives back stays until the next call.
std::string g_reply;

const char* reply(const Json& json) {
    g_reply = json.dump();
    return g_reply.c_str();
}

// A request the page could not have made (malformed JSON, an exception of the library).
template <typename Call>
const char* guarded(Call call) {
    try {
        return reply(call());
    } catch (const std::exception& e) {
        return reply({{"error", e.what()}});
    }
}

}  // namespace
}  // namespace kivo::web

using kivo::web::guarded;
using kivo::web::Json;

extern "C" {

/// Every operation with its tab, names, caption, options and example.
EMSCRIPTEN_KEEPALIVE const char* kivo_describe() {
    return guarded([] {
        Json all = Json::array();
        for (const kivo::OperationDeclaration* op : kivo::operations())
            all.push_back(kivo::web::describeOperation(*op));
        return Json{{"operations", all}};
    });
}

/// Runs one operation: {"operation": name, "options": {option: control text}, "text": upper,
/// "answers": ["yes", …]} gives {"result" | "question", "messages", "changed", "concerned"}.
EMSCRIPTEN_KEEPALIVE const char* kivo_run(const char* request) {
    return guarded([&] { return kivo::web::runOperation(Json::parse(request)); });
}

/// Runs a recipe's steps as the command line does: {"recipe": text, "text", "answers"}.
EMSCRIPTEN_KEEPALIVE const char* kivo_run_recipe(const char* request) {
    return guarded([&] { return kivo::web::runRecipe(Json::parse(request)); });
}

/// A file's bytes as the window's Open reads them, detected ("auto") or in the encoding named:
/// {"text", "encoding", "lineBreak", "guessed"}, or {"error"} for bytes no encoding reads.
EMSCRIPTEN_KEEPALIVE const char* kivo_decode_file(const std::uint8_t* bytes, std::size_t size,
                                                  const char* encoding) {
    return guarded([&] {
        const std::string_view data(reinterpret_cast<const char*>(bytes), size);
        const std::optional<kivo::OpenedText> opened =
            kivo::decodeTextFile(data, kivo::web::encodingNamed(encoding));
        if (!opened) return Json{{"error", "not text"}};
        return Json{{"text", kivo::web::utf8Of(opened->text)},
                    {"encoding", kivo::web::encodingWord(opened->format.encoding)},
                    {"lineBreak", kivo::web::lineBreakName(opened->format.lineBreak)},
                    {"guessed", opened->guessed}};
    });
}

/// The bytes a text is saved as, as the window's Save writes them: {"text", "encoding",
/// "lineBreak"} gives {"bytes": length} with the bytes at kivo_file_bytes(), or {"unmappable":
/// the first character the encoding cannot hold, as the Shift-JIS check names it}.
EMSCRIPTEN_KEEPALIVE const char* kivo_encode_file(const char* request) {
    static std::string bytes;
    return guarded([&] {
        const Json r = Json::parse(request);
        const kivo::Text text = kivo::web::textOf(r.at("text").get<std::string>());
        const kivo::TextEncoding encoding = *kivo::web::encodingNamed(r.at("encoding").get<std::string>());
        if (!r.value("questionMarks", false))
            if (const std::optional<std::size_t> at = kivo::unmappableIndex(text, encoding))
                return Json{{"unmappable", kivo::web::utf8Of(kivo::characterPlace(text, *at))}};
        const kivo::LineBreak lineBreak =
            r.value("lineBreak", "crlf") == "lf" ? kivo::LineBreak::Lf : kivo::LineBreak::CrLf;
        bytes = kivo::encodeTextFile(text, {encoding, lineBreak});
        return Json{{"bytes", bytes.size()}, {"at", reinterpret_cast<std::uintptr_t>(bytes.data())}};
    });
}

/// The status bar's counts of a text: characters without line breaks, lines, and Shift-JIS bytes
/// with every line break as CrLf.
EMSCRIPTEN_KEEPALIVE const char* kivo_counts(const char* text) {
    return guarded([&] {
        const kivo::Text t = kivo::web::textOf(text);
        const kivo::Text crLf = kivo::withLineBreaks(t, u"\r\n");
        const std::size_t breaks = kivo::countUnit(crLf, u'\n');
        return Json{{"characters", crLf.size() - 2 * breaks},
                    {"lines", breaks + 1},
                    {"bytes", kivo::cp932::byteCount(crLf)}};
    });
}

}  // extern "C"
