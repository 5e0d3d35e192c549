#include "cli/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "cli/files.h"
#include "ops/dispatch.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

// Writes a result to standard output as it is made, in its encoding (a byte-order mark first). A
// failed write is kept for after the run, which must not take it for its own failure.
class OutputSink final : public ResultSink {
public:
    OutputSink(std::ostream& out, TextEncoding encoding) : m_out(out), m_encoding(encoding) {}

    void write(TextView units) override {
        guarded([&] {
            if (m_encoding == TextEncoding::Cp932) {
                const std::string bytes = cp932::encode(units);
                m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            } else {
                utf8::write(units, m_out);
            }
        });
    }
    void writeBytes(std::string_view utf8) override {
        guarded([&] { m_out.write(utf8.data(), static_cast<std::streamsize>(utf8.size())); });
    }
    /// Whether something was written (the mark with it).
    bool started() const { return m_started; }
    /// Passes a failed write on.
    void check() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    template <typename Write>
    void guarded(Write write) {
        if (m_failure) return;
        try {
            if (!m_started && m_encoding == TextEncoding::Utf8WithMark) m_out << "\xEF\xBB\xBF";
            m_started = true;
            write();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

    std::ostream& m_out;
    TextEncoding m_encoding;
    bool m_started = false;
    std::exception_ptr m_failure;
};

// What one text's run gave: the lines for standard error, and the result when it goes to
// standard output (a file written where the settings say has been written already).
struct TextOutcome {
    bool ok = false;
    bool streamed = false;  // part of the result went out already
    std::string messages;
    std::optional<Text> result;
    TextEncoding encoding = TextEncoding::Utf8;
    std::optional<std::string> resultBytes;  // a result made from the bytes themselves
    std::uint64_t inputBytes = 0;
};

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isRegularFile(const std::string& path) {
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

// Everything the command line asks that cannot work, before anything is read or written.
void checkSettings(const Settings& s) {
    const std::size_t files = s.files.size();
    if (s.inPlace && s.outputDir) throw UsageError{"--in-place and --output-dir exclude each other"};
    if (s.output && (s.inPlace || s.outputDir)) throw UsageError{"-o excludes --in-place and --output-dir"};
    if (files == 0 && (s.inPlace || s.outputDir))
        throw UsageError{std::string(s.inPlace ? "--in-place" : "--output-dir") + " needs FILE arguments"};
    if (files > 1 && !s.inPlace && !s.outputDir)
        throw UsageError{"several files need --output-dir=DIR or --in-place"};
    std::set<std::string> names;
    for (const std::string& file : s.files) {
        if (!isRegularFile(file)) throw UsageError{"no such file: " + file};
        if (s.outputDir && !names.insert(nameOf(file)).second)
            throw UsageError{"two files would be written to " + *s.outputDir + "/" + nameOf(file)};
    }
    if (s.outputDir) {
        struct stat dir {};
        if (::stat(s.outputDir->c_str(), &dir) != 0) {
            if (::mkdir(s.outputDir->c_str(), 0777) != 0)
                throw UsageError{"cannot make the folder " + *s.outputDir};
        } else if (!S_ISDIR(dir.st_mode)) {
            throw UsageError{*s.outputDir + " is not a folder"};
        }
    }
}

// One file: read in its encoding, run, and written where the settings say.
TextOutcome runOnFile(const std::vector<Step>& steps, const Settings& s, const std::string& file,
                      std::uint64_t maxBytes) {
    TextOutcome outcome;
    std::ostringstream messages;
    try {
        FileText input = readTextFile(file, s.encoding.value_or(InputEncoding::Auto), maxBytes);
        outcome.inputBytes = input.text.size();
        CliContext ctx(messages, s.answers);
        std::optional<Text> result = runSteps(steps, std::move(input.text), ctx, file + ": ");
        if (result) {
            const TextEncoding encoding = outputEncodingOf(s.outputEncoding, input.encoding);
            if (s.inPlace || s.outputDir) {
                replaceFile(s.inPlace ? file : *s.outputDir + "/" + nameOf(file),
                            encodeText(*result, encoding));
            } else {
                outcome.result = std::move(result);
                outcome.encoding = encoding;
            }
            outcome.ok = true;
        }
    } catch (const std::bad_alloc&) {
        messages << "kivoautofill-cli: " << file << ": out of memory\n";
    } catch (const std::exception& e) {
        messages << "kivoautofill-cli: " << e.what() << '\n';
    }
    outcome.messages = messages.str();
    return outcome;
}

// What a run on the bytes themselves gave.
TextOutcome outcomeOf(Utf8DispatchResult run, const CliContext& ctx, const std::ostringstream& messages,
                      bool streamed) {
    TextOutcome outcome;
    outcome.ok = run.lower && !ctx.cancelled();
    outcome.streamed = streamed;
    if (outcome.ok) outcome.resultBytes = std::move(run.lower);
    outcome.messages = messages.str();
    return outcome;
}

// Standard input: UTF-8 unless told otherwise, and an operation that gives the same result on
// the bytes themselves is spared the conversions: given the input a block of lines at a time when
// it takes that, or whole. An input that cannot be read is a usage error.
TextOutcome runOnInput(const std::vector<Step>& steps, const Settings& s, std::istream& in,
                       std::ostream& out) {
    std::ostringstream messages;
    CliContext ctx(messages, s.answers);
    const InputEncoding encoding = s.encoding.value_or(InputEncoding::Utf8);
    const bool utf8Out =
        s.outputEncoding == OutputEncoding::AsInput || s.outputEncoding == OutputEncoding::Utf8;
    std::optional<Text> upper;
    TextEncoding read = encoding == InputEncoding::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8;
    const OperationDeclaration& op = *steps[0].call.op;
    const std::optional<Params> onBytes = encoding == InputEncoding::Utf8 && utf8Out && steps.size() == 1
                                              ? std::optional(steps[0].call.params(today()))
                                              : std::nullopt;
    if (onBytes && takesUtf8Lines(op, *onBytes)) {
        InputLineBlocks input(in);
        if (!input.empty()) {
            Utf8DispatchResult run = dispatchUtf8Lines(op, input, *onBytes, ctx);
            input.check();
            return outcomeOf(std::move(run), ctx, messages, false);
        }
        upper.emplace();
    } else if (onBytes && op.hasUtf8Run) {
        const InputBytes input(in, inputMemoryLimit());
        const std::string_view bytes = input.view();
        if (!utf8::isValid(bytes)) throw InputError(kInputNotUtf8);
        if (!bytes.empty()) {
            OutputSink sink(out, TextEncoding::Utf8);
            if (!s.output) ctx.setResultSink(&sink);
            if (auto run = dispatchUtf8(op.code, bytes, *onBytes, ctx)) {
                sink.check();
                return outcomeOf(std::move(*run), ctx, messages, sink.started());
            }
            ctx.setResultSink(nullptr);  // the sink ends here; the decoded run brings its own
        }
        upper = utf8::decode(bytes);
    } else if (encoding == InputEncoding::Auto) {
        const InputBytes input(in, inputMemoryLimit() / 2);
        DecodedText decoded = decodeTextBytes(input.view());
        upper = std::move(decoded.text);
        read = decoded.encoding;
    } else {
        upper = decodeInput(in, encoding == InputEncoding::Cp932 ? Encoding::Cp932 : Encoding::Utf8,
                            inputMemoryLimit());
    }
    TextOutcome outcome;
    outcome.inputBytes = upper->size();
    outcome.encoding = outputEncodingOf(s.outputEncoding, read);
    OutputSink sink(out, outcome.encoding);
    outcome.result = runSteps(steps, std::move(*upper), ctx, {}, s.output ? nullptr : &sink);
    sink.check();
    outcome.ok = outcome.result.has_value();
    outcome.streamed = sink.started();
    outcome.messages = messages.str();
    return outcome;
}

void writeResult(const TextOutcome& outcome, const Settings& s, std::ostream& out) {
    if (s.output) {
        replaceFile(*s.output, outcome.resultBytes ? *outcome.resultBytes
                                                   : encodeText(*outcome.result, outcome.encoding));
    } else if (outcome.resultBytes) {
        writeOutput(*outcome.resultBytes, out);
    } else if (outcome.encoding == TextEncoding::Cp932) {
        writeOutput(*outcome.result, Encoding::Cp932, out);
    } else {
        if (outcome.encoding == TextEncoding::Utf8WithMark && !outcome.streamed) out << "\xEF\xBB\xBF";
        writeOutput(*outcome.result, Encoding::Utf8, out);
    }
}

// The progress line on a terminal: texts done and the speed, shown once a run takes a while,
// rewritten in place and wiped at the end. Never on a pipe or a file.
class Progress {
public:
    Progress(bool shown, std::size_t total) : m_shown(shown), m_total(total) {}
    ~Progress() {
        if (m_written) std::fputs("\r\033[K", stderr);
    }

    void update(std::size_t done, std::uint64_t units) {
        using namespace std::chrono;
        const double seconds = duration<double>(steady_clock::now() - m_start).count();
        if (!m_shown || seconds < 0.5) return;
        // Two bytes a unit in memory; the speed is that of the text read.
        const double megabytes = static_cast<double>(units) * 2 / 1e6;
        std::fprintf(stderr, "\r\033[K%zu/%zu %s, %.1f MB/s", done, m_total, m_total == 1 ? "text" : "files",
                     megabytes / seconds);
        std::fflush(stderr);
        m_written = true;
    }

private:
    bool m_shown;
    std::size_t m_total;
    bool m_written = false;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Runs the tasks on `jobs` threads and hands their outcomes to `take` in the order of the tasks,
// as each becomes ready, updating the progress line while it waits.
void runInOrder(std::vector<std::function<TextOutcome()>>& tasks, unsigned jobs, Progress& progress,
                const std::function<void(TextOutcome&)>& take) {
    std::vector<std::optional<TextOutcome>> outcomes(tasks.size());
    std::vector<std::exception_ptr> failures(tasks.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> unitsDone{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < tasks.size();) {
            std::optional<TextOutcome> outcome;
            std::exception_ptr failure;
            try {
                outcome = tasks[i]();
                unitsDone += outcome->inputBytes;
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            outcomes[i] = std::move(outcome);
            failures[i] = failure;
            ready.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned j = 0; j < jobs; ++j)
        workers.emplace_back(work);
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        std::unique_lock lock(mutex);
        while (!outcomes[i] && !failures[i]) {
            ready.wait_for(lock, std::chrono::milliseconds(100));
            progress.update(i, unitsDone);
        }
        if (failures[i]) {
            // The other tasks end before the failure is passed on.
            next = tasks.size();
            lock.unlock();
            workers.clear();
            std::rethrow_exception(failures[i]);
        }
        TextOutcome outcome = std::move(*outcomes[i]);
        outcomes[i].reset();
        lock.unlock();
        take(outcome);
    }
}

bool onTerminal(const std::ostream& err) {
    return &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}

}  // namespace

int runOnTexts(const std::vector<Step>& steps, const Settings& s, std::istream& in, std::ostream& out,
               std::ostream& err) {
    checkSettings(s);
    std::vector<std::function<TextOutcome()>> tasks;
    if (s.files.empty()) {
        tasks.emplace_back([&] { return runOnInput(steps, s, in, out); });
    } else {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::uint64_t maxBytes =
            inputMemoryLimit() / std::min<std::size_t>(s.files.size(), s.jobs ? s.jobs : cores);
        for (const std::string& file : s.files)
            tasks.emplace_back([&, file, maxBytes] { return runOnFile(steps, s, file, maxBytes); });
    }
    const unsigned jobs = static_cast<unsigned>(std::min<std::size_t>(
        tasks.size(), s.jobs ? s.jobs : std::max(1u, std::thread::hardware_concurrency())));
    std::vector<std::string> failed;
    std::size_t index = 0;
    {
        Progress progress(!s.quiet && onTerminal(err), tasks.size());
        runInOrder(tasks, jobs, progress, [&](TextOutcome& outcome) {
            err << outcome.messages << std::flush;
            if (outcome.ok && (outcome.result || outcome.resultBytes)) writeResult(outcome, s, out);
            if (!outcome.ok && !s.files.empty()) failed.push_back(s.files[index]);
            ++index;
            if (!outcome.ok && s.files.empty()) failed.emplace_back();
        });
    }
    if (failed.empty()) return 0;
    if (s.files.size() > 1) {
        std::string names;
        for (const std::string& f : failed)
            names += (names.empty() ? "" : ", ") + f;
        err << "kivoautofill-cli: no result for " << failed.size() << " of " << s.files.size()
            << " files: " << names << '\n';
    }
    return 1;
}

}  // namespace kivo::cli
