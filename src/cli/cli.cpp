#include "cli/cli.h"

#include <deque>
#include <iostream>
#include <optional>
#include <sstream>

#include "ops/dispatch.h"
#include "ops/params.h"
#include "text/cp932.h"
#include "text/dates.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr const char* kUsage =
    "usage: kivoautofill-cli CODE [NAME=VALUE ...] [--answer=yes|no|cancel ...] [--encoding=utf-8|cp932]";

struct UsageError {
    std::string message;
};

enum class Encoding { Utf8, Cp932 };

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
    void assign(std::string_view, const Text&) override {}

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
    if (arg.empty() || arg.size() > 2 || arg.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"unknown operation code '" + arg + "' (expected 0 to 34)"};
    const int code = std::stoi(arg);
    if (code >= kOperationCount) throw UsageError{"unknown operation code '" + arg + "' (expected 0 to 34)"};
    return code;
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
            inv.assignments.emplace_back(name, *value);
        } else {
            throw UsageError{"malformed argument '" + a + "'; " + std::string(kUsage)};
        }
    }
    return inv;
}

// The whole input in one buffer, read in large blocks: a file's size is known beforehand (the
// buffer is allocated once), a pipe's buffer doubles as it fills.
std::string readAll(std::istream& in) {
    std::streambuf& buf = *in.rdbuf();
    std::size_t capacity = std::size_t{1} << 16;
    const auto here = buf.pubseekoff(0, std::ios::cur, std::ios::in);
    if (here != std::streampos(-1)) {
        const auto end = buf.pubseekoff(0, std::ios::end, std::ios::in);
        if (end != std::streampos(-1) && buf.pubseekpos(here, std::ios::in) == here && end > here)
            capacity = static_cast<std::size_t>(end - here) + 1;
    }
    std::string bytes(capacity, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size()) bytes.resize(2 * bytes.size());
        const std::streamsize got =
            buf.sgetn(bytes.data() + size, static_cast<std::streamsize>(bytes.size() - size));
        if (got <= 0) break;
        size += static_cast<std::size_t>(got);
    }
    bytes.resize(size);
    return bytes;
}

Text decodeInput(std::istream& in, Encoding encoding) {
    const std::string bytes = readAll(in);
    auto text = encoding == Encoding::Utf8 ? utf8::decode(bytes) : cp932::decode(bytes);
    if (!text)
        throw UsageError{encoding == Encoding::Utf8 ? "standard input is not valid UTF-8"
                                                    : "standard input is not valid code page 932"};
    return std::move(*text);
}

// UTF-8 goes out a block at a time, so that the result is never held twice.
void writeOutput(TextView text, Encoding encoding, std::ostream& out) {
    if (encoding == Encoding::Utf8) {
        utf8::write(text, out);
    } else {
        const std::string bytes = cp932::encode(text);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.flush();
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            out << kUsage << '\n';
            return 0;
        }
        Invocation inv = parseArgs(args);
        if (!isBuilt(inv.code))
            throw UsageError{"operation " + std::to_string(inv.code) + " is not built yet"};

        Params params = Params::defaults(today());
        for (auto& [name, value] : inv.assignments)
            params.set(name, std::move(value));

        // The input bytes are dropped once decoded.
        const Text upper = decodeInput(in, inv.encoding);

        CliContext ctx(err, std::move(inv.answers));
        if (upper.empty() && !runsWithoutUpperText(inv.code)) {
            ctx.inform(kUpperTextMissing);
            return 1;
        }
        const DispatchResult result = dispatch(inv.code, upper, params, ctx);
        if (!result.lower || ctx.cancelled()) return 1;
        writeOutput(*result.lower, inv.encoding, out);
        return 0;
    } catch (const UsageError& e) {
        err << "kivoautofill-cli: " << e.message << '\n';
        return 2;
    }
}

}  // namespace kivo
