#include "cli/cli.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string_view>

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

// What is left of the input when it is a file, whose stream can seek; nothing for a pipe.
std::optional<std::size_t> remainingSize(std::streambuf& buf) {
    const auto here = buf.pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1)) return std::nullopt;
    const auto end = buf.pubseekoff(0, std::ios::end, std::ios::in);
    if (end == std::streampos(-1) || buf.pubseekpos(here, std::ios::in) != here || end < here)
        return std::nullopt;
    return static_cast<std::size_t>(end - here);
}

// The whole input in one buffer, read in large blocks: a file's size is known beforehand (the
// buffer is allocated once), a pipe's buffer doubles as it fills. A large buffer asks for huge
// pages: filling 50 MB of fresh memory a 4 KB page at a time costs more than most operations.
class InputBytes {
public:
    explicit InputBytes(std::istream& in) {
        std::streambuf& buf = *in.rdbuf();
        const std::optional<std::size_t> size = remainingSize(buf);
        grow(size && *size > 0 ? *size + 1 : std::size_t{1} << 16);
        for (;;) {
            if (m_size == m_capacity) grow(2 * m_capacity);
            const std::streamsize got =
                buf.sgetn(m_data.get() + m_size, static_cast<std::streamsize>(m_capacity - m_size));
            if (got <= 0) break;
            m_size += static_cast<std::size_t>(got);
        }
    }
    std::string_view view() const { return {m_data.get(), m_size}; }

private:
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };

    void grow(std::size_t capacity) {
        constexpr std::size_t kHugePage = std::size_t{1} << 21;
        capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        std::unique_ptr<char, Free> data(static_cast<char*>(std::aligned_alloc(kHugePage, capacity)));
        if (!data) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        madvise(data.get(), capacity, MADV_HUGEPAGE);  // only advice: refused, pages are small
#endif
        if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char, Free> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};

constexpr const char* kNotUtf8 = "standard input is not valid UTF-8";

// UTF-8 is decoded a block at a time as it arrives, so that the input's bytes are never held
// whole; a sequence split between two blocks waits at the front of the buffer for its rest. A
// file's text is sized once from its length, since a byte never gives more than one unit.
Text decodeUtf8(std::istream& in) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::streambuf& buf = *in.rdbuf();
    Text text;
    if (const std::optional<std::size_t> size = remainingSize(buf)) text.reserve(*size);
    std::string block(kBlock + 3, '\0');  // a block after up to three bytes held back
    std::size_t held = 0;
    for (;;) {
        const std::streamsize got = buf.sgetn(block.data() + held, static_cast<std::streamsize>(kBlock));
        if (got <= 0) break;
        const std::string_view bytes(block.data(), held + static_cast<std::size_t>(got));
        const std::size_t complete = utf8::completeLength(bytes);
        if (!utf8::appendDecoded(bytes.substr(0, complete), text)) throw UsageError{kNotUtf8};
        held = bytes.size() - complete;
        std::memmove(block.data(), block.data() + complete, held);
    }
    // Bytes still held back are a sequence cut short by the end of the input.
    if (!utf8::appendDecoded(std::string_view(block.data(), held), text)) throw UsageError{kNotUtf8};
    return text;
}

// Code page 932, rare on the command line, is read whole.
Text decodeInput(std::istream& in, Encoding encoding) {
    if (encoding == Encoding::Utf8) return decodeUtf8(in);
    auto text = cp932::decode(InputBytes(in).view());
    if (!text) throw UsageError{"standard input is not valid code page 932"};
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

int upperTextMissing(RunContext& ctx) {
    ctx.inform(kUpperTextMissing);
    return 1;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
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
            const InputBytes input(in);
            const std::string_view bytes = input.view();
            if (!utf8::isValid(bytes)) throw UsageError{kNotUtf8};
            if (bytes.empty()) return upperTextMissing(ctx);
            if (const auto result = dispatchUtf8(inv.code, bytes, params, ctx)) {
                if (!result->lower || ctx.cancelled()) return 1;
                out.write(result->lower->data(), static_cast<std::streamsize>(result->lower->size()));
                out.flush();
                return 0;
            }
            upper = utf8::decode(bytes);
        } else {
            // The input bytes are dropped once decoded.
            upper = decodeInput(in, inv.encoding);
        }
        if (upper->empty() && op.needsUpperText) return upperTextMissing(ctx);
        const DispatchResult result = dispatch(inv.code, *upper, params, ctx);
        if (!result.lower || ctx.cancelled()) return 1;
        writeOutput(*result.lower, inv.encoding, out);
        return 0;
    } catch (const UsageError& e) {
        err << "kivoautofill-cli: " << e.message << '\n';
        return 2;
    }
}

}  // namespace kivo
