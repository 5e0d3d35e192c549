#include "cli/cli.h"

#include <deque>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>

#include "cli/cli_io.h"
#include "ops/dispatch.h"
#include "ops/params.h"
#include "text/dates.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr const char* kUsage =
    "usage: kivoautofill-cli CODE [NAME=VALUE ...] [--answer=yes|no|cancel ...] [--encoding=utf-8|cp932]";

struct UsageError {
    std::string message;
};

struct Invocation {
    int code = 0;
    std::vector<std::pair<std::string, Text>> assignments;
    std::deque<Answer> answers;
    Encoding encoding = Encoding::Utf8;
};

// Message boxes become lines on standard error; questions take the given answers, then Yes.
class CliContext final : public RunContext {
public:
    CliContext(std::ostream& err, std::deque<Answer> answers) : m_err(err), m_answers(std::move(answers)) {}

    bool poll() override { return cancelled(); }
    bool stopFlag() const override { return m_stop; }
    bool closing() const override { return false; }
    void setStopFlag() override { m_stop = true; }

protected:
    void showMessage(Icon icon, TextView message) override {
        line(icon == Icon::Exclamation ? "exclamation"
             : icon == Icon::Question  ? "question"
                                       : "information",
             message);
    }
    Answer askQuestion(TextView question) override {
        line("question", question);
        if (m_answers.empty()) return Answer::Yes;
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }

private:
    void line(const char* kind, TextView text) { m_err << kind << ": " << utf8::encode(text) << '\n'; }

    std::ostream& m_err;
    std::deque<Answer> m_answers;
    bool m_stop = false;
};

int parseCode(const std::string& arg) {
    const std::string expected = " (expected 0 to " + std::to_string(operations().size() - 1) + ")";
    if (arg.empty() || arg.size() > 2 || arg.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"unknown operation code '" + arg + "'" + expected};
    const int code = std::stoi(arg);
    if (!isOperationCode(code)) throw UsageError{"unknown operation code '" + arg + "'" + expected};
    return code;
}

// A text the variant control's rule would never leave would run nothing without a word.
void checkVariantText(const std::string& control, const Text& value) {
    for (const OperationDeclaration* op : operations()) {
        const ParamDeclaration* p = op->param(control);
        if (!p || p->isEntry(value)) continue;
        if (p->otherText != OtherText::RunsNothing && p->otherText != OtherText::ResetsAndRunsNothing)
            continue;
        std::string entries;
        for (const ListEntry& e : p->entries)
            entries += (entries.empty() ? "" : ", ") + utf8::encode(e.text);
        throw UsageError{"the value of " + control + " must be one of: " + entries};
    }
}

Answer parseAnswer(const std::string& value) {
    if (value == "yes") return Answer::Yes;
    if (value == "no") return Answer::No;
    if (value == "cancel") return Answer::Cancel;
    throw UsageError{"--answer takes yes, no or cancel, not '" + value + "'"};
}

Invocation parseArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"missing operation code; " + std::string(kUsage)};
    Invocation inv;
    inv.code = parseCode(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--answer=", 0) == 0) {
            inv.answers.push_back(parseAnswer(a.substr(9)));
        } else if (a.rfind("--encoding=", 0) == 0) {
            const std::string e = a.substr(11);
            if (e == "utf-8") {
                inv.encoding = Encoding::Utf8;
            } else if (e == "cp932") {
                inv.encoding = Encoding::Cp932;
            } else {
                throw UsageError{"--encoding takes utf-8 or cp932, not '" + e + "'"};
            }
        } else if (const auto eq = a.find('='); eq != std::string::npos && eq > 0 && a[0] != '-') {
            const std::string name = a.substr(0, eq);
            if (!Params::isControl(name)) throw UsageError{"unknown control '" + name + "'"};
            const auto value = utf8::decode(a.substr(eq + 1));
            if (!value) throw UsageError{"the value of " + name + " is not valid UTF-8"};
            checkVariantText(name, *value);
            inv.assignments.emplace_back(name, *value);
        } else {
            throw UsageError{"malformed argument '" + a + "'; " + std::string(kUsage)};
        }
    }
    return inv;
}

int upperTextMissing(RunContext& ctx) {
    ctx.inform(kUpperTextMissing);
    return 1;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        // A failed write raises the output's own exception, which names the reason.
        out.exceptions(std::ios::badbit);
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            out << kUsage << '\n';
            return 0;
        }
        if (args.size() == 1 && args[0] == "--version") {
            out << "kivoautofill-cli " KIVO_VERSION "\n";
            return 0;
        }
        Invocation inv = parseArgs(args);

        Params params = Params::defaults(today());
        for (auto& [name, value] : inv.assignments)
            params.set(name, std::move(value));

        CliContext ctx(err, std::move(inv.answers));
        std::optional<Text> upper;
        const OperationDeclaration& op = operation(inv.code);
        if (inv.encoding == Encoding::Utf8 && op.hasUtf8Run) {
            // An operation that gives the same result on the bytes themselves is spared the
            // conversions; a text it does not take is decoded whole.
            const InputBytes input(in, inputMemoryLimit());
            const std::string_view bytes = input.view();
            if (!utf8::isValid(bytes)) throw InputError(kInputNotUtf8);
            if (bytes.empty()) return upperTextMissing(ctx);
            if (const auto result = dispatchUtf8(inv.code, bytes, params, ctx)) {
                if (!result->lower || ctx.cancelled()) return 1;
                writeOutput(*result->lower, out);
                return 0;
            }
            upper = utf8::decode(bytes);
        } else {
            // The input bytes are dropped once decoded.
            upper = decodeInput(in, inv.encoding, inputMemoryLimit());
        }
        if (upper->empty() && op.needsUpperText) return upperTextMissing(ctx);
        const DispatchResult result = dispatch(inv.code, *upper, params, ctx);
        if (!result.lower || ctx.cancelled()) return 1;
        writeOutput(*result.lower, inv.encoding, out);
        return 0;
    } catch (const UsageError& e) {
        err << "kivoautofill-cli: " << e.message << '\n';
        return 2;
    } catch (const InputError& e) {
        err << "kivoautofill-cli: " << e.what() << '\n';
        return 2;
    } catch (const IoFailure& e) {
        err << "kivoautofill-cli: " << e.what() << '\n';
        return 1;
    } catch (const std::ios_base::failure&) {
        err << "kivoautofill-cli: cannot write standard output\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Outside a run (which reports its own): converting the input or the output.
        err << "kivoautofill-cli: out of memory\n";
        return 1;
    }
}

}  // namespace kivo
