#include "cli/batch.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <latch>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "cli/blocks.h"
#include "cli/files.h"
#include "ops/dispatch.h"
#include "text/memory_budget.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

// Standard output: a result in its form, written as it is made by an operation that streams it,
// or whole. A Cr (or a high surrogate) at the end of a piece waits for the next, which may complete
// a CrLf (or a pair). A failure (a write, or a character the encoding cannot hold) is kept for
// after the run, which must not take it for its own; nothing is written after it.
class StandardOutput final : public ResultSink {
public:
    explicit StandardOutput(std::ostream& out) : m_out(out) {}

    void setForm(const OutputForm& form) { m_form = form; }
    /// Whether a result may go out before it is whole: not in an encoding that could still refuse a
    /// later character.
    bool streams() const {
        return m_form.encoding != TextEncoding::Cp932 && m_form.encoding != TextEncoding::EucJp;
    }

    void write(TextView units) override {
        guarded([&] {
            Text joined;
            if (!m_held.empty()) {
                joined = std::exchange(m_held, {}) + Text(units);
                units = joined;
            }
            if (!units.empty() && (units.back() == u'\r' || (units.back() & 0xFC00) == 0xD800)) {
                m_held = units.back();
                units.remove_suffix(1);
            }
            writePiece(units);
        });
    }
    void writeBytes(std::string_view utf8) override {
        guarded([&] {
            // Results break their lines with CrLf: only another line break needs a changed copy.
            if (m_form.lineBreak == u"\r\n") {
                m_out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
                return;
            }
            std::string piece = std::exchange(m_heldByte, {}) + std::string(utf8);
            if (!piece.empty() && piece.back() == '\r') {
                m_heldByte = "\r";
                piece.pop_back();
            }
            changeLineBreaks(piece, m_form.lineBreak);
            m_out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        });
    }
    /// The end of the result: what waited is written.
    void finish() {
        guarded([&] {
            writePiece(std::exchange(m_held, {}));
            m_out.write(m_heldByte.data(), static_cast<std::streamsize>(m_heldByte.size()));
            m_heldByte.clear();
            m_out.flush();
        });
    }
    /// Passes a failure on.
    void check() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    void writePiece(TextView piece) {
        if (piece.empty()) return;
        Text changed;
        if (m_form.lineBreak.size() == 1 && findUnit(piece, u'\r') != TextView::npos) {
            changed = Text(piece);
            changeLineBreaks(changed, m_form.lineBreak);
            piece = changed;
        }
        if (!m_form.questionMarks)
            if (const std::optional<std::size_t> at = unmappableIndex(piece, m_form.encoding))
                throw UnmappableCharacter(piece, *at, m_form.encoding);
        if (isUtf8(m_form.encoding)) {
            utf8::write(piece, m_out);
        } else {
            const std::string bytes = encodeTextBytes(piece, m_form.encoding, false);
            m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }

    template <typename Write>
    void guarded(Write write) {
        if (m_failure) return;
        try {
            if (!m_started) {
                const std::string_view mark = byteOrderMark(m_form.encoding);
                m_out.write(mark.data(), static_cast<std::streamsize>(mark.size()));
            }
            m_started = true;
            write();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

    std::ostream& m_out;
    OutputForm m_form;
    Text m_held;
    std::string m_heldByte;
    bool m_started = false;
    std::exception_ptr m_failure;
};

// What one text's run gave: the lines for standard error, and the result when it goes to
// standard output or -o (a file written in place or to a folder has been written already).
struct TextOutcome {
    bool ok = false;
    std::string messages;
    std::optional<Text> result;
    std::optional<std::string> resultUtf8;  // a result made from the UTF-8 bytes themselves
    OutputForm form;
    std::uint64_t inputBytes = 0;
};

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
        if (file == "-") throw UsageError{"- (standard input) cannot be one of several files"};
        if (const std::optional<std::string> fault = inputFileFault(file, s.inPlace))
            throw UsageError{*fault};
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

// The memory the files read at once share: each takes what its size asks (all of it when its size
// is unknown, a pipe's) and waits while the others hold too much, so that the number of jobs never
// refuses a file that would fit on its own. What they share is measured at the first file, once
// the threads are there.
class InputMemory {
public:
    /// A file's part, held while it is read, run and written.
    class Share {
    public:
        Share(InputMemory& memory, std::optional<std::uint64_t> size);
        ~Share();
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        /// The most the file may take: all that was free when its part was given.
        std::uint64_t maxBytes() const { return m_maxBytes; }

    private:
        InputMemory& m_memory;
        std::uint64_t m_held = 0;
        std::uint64_t m_maxBytes = 0;
    };

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    std::optional<std::uint64_t> m_total;
    std::uint64_t m_held = 0;
};

InputMemory::Share::Share(InputMemory& memory, std::optional<std::uint64_t> size) : m_memory(memory) {
    std::unique_lock lock(memory.m_mutex);
    if (!memory.m_total) memory.m_total = inputMemoryLimit();
    const std::uint64_t total = *memory.m_total;
    m_held = std::min(size.value_or(total), total);
    memory.m_freed.wait(lock, [&] { return memory.m_held + m_held <= total; });
    m_maxBytes = total - memory.m_held;
    memory.m_held += m_held;
}

InputMemory::Share::~Share() {
    const std::lock_guard lock(m_memory.m_mutex);
    m_memory.m_held -= m_held;
    m_memory.m_freed.notify_all();
}

// A regular file's size; none for a pipe, a device or a file that cannot be asked.
std::optional<std::uint64_t> regularFileSize(const std::string& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(s.st_size);
}

// What a run a block at a time gave, as the run of a text held whole tells it.
TextOutcome outcomeOf(const BlockRunEnd& end) {
    TextOutcome outcome;
    outcome.ok = end.ok;
    outcome.messages = end.messages;
    outcome.inputBytes = end.inputBytes;
    return outcome;
}

// Where a file's result goes when it is not standard output.
std::optional<std::string> targetOf(const Settings& s, const std::string& file) {
    if (s.inPlace) return file;
    if (s.outputDir) return *s.outputDir + "/" + nameOf(file);
    return s.output;
}

// Line-local steps run on the file a block at a time; nothing when it must be read whole.
std::optional<TextOutcome> runOnFileBlocks(const std::vector<Step>& steps, const Settings& s,
                                           const std::string& file, std::ostream& out, unsigned jobs) {
    if (!runsBlockByBlock(steps)) return std::nullopt;
    std::ifstream stream(file, std::ios::binary);
    if (!stream) throw InputError("cannot read " + file + ": " + std::strerror(errno));
    const BlockRunPlaces places{stream, file, true, targetOf(s, file), out, file + ": "};
    const std::optional<BlockRunEnd> end =
        runBlockByBlock(steps, s, places, s.encoding.value_or(std::nullopt), jobs);
    if (!end) return std::nullopt;
    return outcomeOf(*end);
}

// What a run on the bytes as they came gave: a result in the form the operation made it.
TextOutcome outcomeOf(DispatchResult run, const CliContext& ctx, const std::ostringstream& messages,
                      const OutputForm& form) {
    TextOutcome outcome;
    outcome.ok = run.hasResult() && !ctx.cancelled();
    if (outcome.ok) {
        outcome.result = std::move(run.lower);
        outcome.resultUtf8 = std::move(run.lowerUtf8);
    }
    outcome.form = form;
    outcome.messages = messages.str();
    return outcome;
}

// A result from the UTF-8 bytes themselves in its form: line breaks, and a mark first.
std::string utf8ResultBytes(std::string utf8, const OutputForm& form) {
    changeLineBreaks(utf8, form.lineBreak);
    return std::string(byteOrderMark(form.encoding)) + utf8;
}

// The encoding of a file's bytes when its one step runs on them as they are: UTF-8 (with a mark
// or not) as it is read and as it is written. Nothing when it is read the other way.
std::optional<std::pair<TextEncoding, bool>> utf8AsItIs(std::string_view bytes,
                                                        const std::vector<Step>& steps, const Settings& s) {
    if (steps.size() != 1 || !steps[0].call.op->hasUtf8Run ||
        !isUtf8(s.outputEncoding.value_or(TextEncoding::Utf8)))
        return std::nullopt;
    const EncodingChoice named = s.encoding.value_or(std::nullopt);
    if (named && !isUtf8(*named)) return std::nullopt;
    EncodingDetector detector(AsciiAs::Utf8);
    detector.addFirstPass(bytes);
    if (named) {
        if (!detector.readsAsUtf8()) return std::nullopt;  // the error is the decoding's
        const bool marked = bytes.starts_with(byteOrderMark(TextEncoding::Utf8WithMark));
        return std::pair(marked ? TextEncoding::Utf8WithMark : TextEncoding::Utf8, false);
    }
    if (detector.needsSecondPass()) return std::nullopt;
    const std::optional<std::pair<TextEncoding, bool>> verdict = detector.verdict();
    return verdict && isUtf8(verdict->first) ? verdict : std::nullopt;
}

// A UTF-8 file run as its bytes: spared the conversions, and only those bytes held. Its result
// goes to standard output as it is made.
TextOutcome runOnFileBytes(const Step& step, const Settings& s, const std::string& file,
                           std::string_view bytes, std::pair<TextEncoding, bool> encoding,
                           StandardOutput& standardOutput) {
    refuseGuessedRewrite(encoding.second, encoding.first, s, file);
    if (encoding.first == TextEncoding::Utf8WithMark)
        bytes.remove_prefix(byteOrderMark(encoding.first).size());
    std::ostringstream messages;
    CliContext ctx(messages, s.answers);
    ctx.setPrefix(file + ": " + step.where);
    const OutputForm form = outputFormOf(s, encoding.first, lineBreakStyleOf(bytes));
    const std::optional<std::string> target = targetOf(s, file);
    if (!target) {
        standardOutput.setForm(form);
        ctx.setResultSink(&standardOutput);
    }
    DispatchResult run = dispatch(*step.call.op, bytes, step.call.texts(today()), ctx);
    if (!target) standardOutput.check();
    TextOutcome outcome = outcomeOf(std::move(run), ctx, messages, form);
    outcome.inputBytes = bytes.size();
    if (!outcome.ok || !(s.inPlace || s.outputDir)) return outcome;
    const std::string written = outcome.resultUtf8 ? utf8ResultBytes(std::move(*outcome.resultUtf8), form)
                                                   : resultBytes(std::move(*outcome.result), form);
    outcome.result.reset();
    outcome.resultUtf8.reset();
    if (const WriteNote note = writeFile(*target, written))
        outcome.messages += "kivoautofill-cli: " + *note + '\n';
    return outcome;
}

// One file: read in its encoding, run, and written where the settings say.
TextOutcome runOnFile(const std::vector<Step>& steps, const Settings& s, const std::string& file,
                      InputMemory& memory, std::ostream& out, unsigned blockJobs,
                      StandardOutput& standardOutput) {
    TextOutcome outcome;
    std::ostringstream messages;
    try {
        if (std::optional<TextOutcome> blocks = runOnFileBlocks(steps, s, file, out, blockJobs))
            return *blocks;
        const InputMemory::Share share(memory, regularFileSize(file));
        std::string note;
        FileText input;
        {
            std::ifstream stream(file, std::ios::binary);
            if (!stream) throw InputError("cannot read " + file + ": " + std::strerror(errno));
            const InputBytes bytes(stream, share.maxBytes(), file);
            if (const auto utf8 = utf8AsItIs(bytes.view(), steps, s); utf8 && !bytes.view().empty())
                return runOnFileBytes(steps[0], s, file, bytes.view(), *utf8, standardOutput);
            input = decodeInputBytes(bytes.view(), s.encoding.value_or(std::nullopt), file, note);
        }
        if (!note.empty()) messages << "kivoautofill-cli: " << note << '\n';
        refuseGuessedRewrite(input.guessed, input.encoding, s, file);
        outcome.inputBytes = input.text.size();
        outcome.form = outputFormOf(s, input.encoding, lineBreakStyleOf(input.text));
        CliContext ctx(messages, s.answers);
        std::optional<Text> result = runSteps(steps, std::move(input.text), ctx, file + ": ");
        if (result) {
            if (s.inPlace || s.outputDir) {
                const std::string target = s.inPlace ? file : *s.outputDir + "/" + nameOf(file);
                if (const WriteNote written =
                        writeFile(target, resultBytes(std::move(*result), outcome.form)))
                    messages << "kivoautofill-cli: " << *written << '\n';
            } else {
                outcome.result = std::move(result);
            }
            outcome.ok = true;
        }
    } catch (const std::bad_alloc&) {
        messages << "kivoautofill-cli: " << file << ": out of memory\n";
    } catch (const UnmappableCharacter& e) {
        messages << "kivoautofill-cli: " << file << ": " << e.what() << '\n';
    } catch (const std::exception& e) {
        messages << "kivoautofill-cli: " << e.what() << '\n';
    }
    outcome.messages = messages.str();
    return outcome;
}

// Standard input: UTF-8 unless told otherwise. Line-local steps run it a block of lines at a time;
// otherwise it is read whole, and an operation that gives the same result on the bytes themselves
// is spared the conversions. An input that cannot be read is a usage error.
TextOutcome runOnInput(const std::vector<Step>& steps, const Settings& s, std::istream& in,
                       StandardOutput& standardOutput, std::ostream& out, unsigned blockJobs) {
    if (s.encoding.value_or(TextEncoding::Utf8) && runsBlockByBlock(steps)) {
        const BlockRunPlaces places{in, "standard input", false, s.output, out, {}};
        if (const std::optional<BlockRunEnd> end =
                runBlockByBlock(steps, s, places, s.encoding.value_or(TextEncoding::Utf8), blockJobs))
            return outcomeOf(*end);
    }
    std::ostringstream messages;
    CliContext ctx(messages, s.answers);
    const EncodingChoice encoding = s.encoding.value_or(TextEncoding::Utf8);
    const TextEncoding written = s.outputEncoding.value_or(TextEncoding::Utf8);
    const bool utf8Out = isUtf8(written);
    const OperationDeclaration& op = *steps[0].call.op;
    const std::optional<OptionTexts> onBytes = encoding == TextEncoding::Utf8 && utf8Out && steps.size() == 1
                                                   ? std::optional(steps[0].call.texts(today()))
                                                   : std::nullopt;
    std::optional<Text> upper;
    TextEncoding read = TextEncoding::Utf8;
    ctx.setPrefix(steps[0].where);  // as runSteps says where a step's messages come from
    if (onBytes && op.hasUtf8Run) {
        const InputBytes input(in, inputMemoryLimit());
        const std::string_view bytes = input.view();
        if (!utf8::isValid(bytes)) throw InputError(kInputNotUtf8);
        if (!bytes.empty()) {
            const OutputForm form = outputFormOf(s, read, lineBreakStyleOf(bytes));
            standardOutput.setForm(form);
            if (!s.output) ctx.setResultSink(&standardOutput);
            DispatchResult run = dispatch(op, bytes, *onBytes, ctx);
            standardOutput.check();
            return outcomeOf(std::move(run), ctx, messages, form);
        }
        upper.emplace();
    } else if (encoding == TextEncoding::Utf8) {
        upper = decodeInput(in, Encoding::Utf8, inputMemoryLimit());
    } else {
        const InputBytes input(in, inputMemoryLimit() / 2);
        std::string note;
        FileText decoded = decodeInputBytes(input.view(), encoding, "standard input", note);
        if (!note.empty()) messages << "kivoautofill-cli: " << note << '\n';
        upper = std::move(decoded.text);
        read = decoded.encoding;
    }
    TextOutcome outcome;
    outcome.inputBytes = upper->size();
    outcome.form = outputFormOf(s, read, lineBreakStyleOf(*upper));
    standardOutput.setForm(outcome.form);
    const bool streams = !s.output && standardOutput.streams();
    outcome.result = runSteps(steps, std::move(*upper), ctx, {}, streams ? &standardOutput : nullptr);
    standardOutput.check();
    outcome.ok = outcome.result.has_value();
    outcome.messages = messages.str();
    return outcome;
}

// A single text's result, to -o or to standard output.
void deliver(TextOutcome& outcome, const Settings& s, StandardOutput& standardOutput, std::ostream& err) {
    if (s.output) {
        const std::string bytes = outcome.resultUtf8
                                      ? utf8ResultBytes(std::move(*outcome.resultUtf8), outcome.form)
                                      : resultBytes(std::move(*outcome.result), outcome.form);
        if (const WriteNote note = writeFile(*s.output, bytes)) err << "kivoautofill-cli: " << *note << '\n';
        return;
    }
    standardOutput.setForm(outcome.form);
    if (outcome.resultUtf8) {
        standardOutput.writeBytes(*outcome.resultUtf8);
    } else {
        standardOutput.write(*outcome.result);
    }
    standardOutput.finish();
    standardOutput.check();
}

// The progress line on a terminal: texts done and the speed, shown once a run takes a while,
// rewritten in place and wiped at the end. Never on a pipe or a file.
class Progress {
public:
    Progress(bool shown, std::size_t total) : m_shown(shown), m_total(total) {}
    ~Progress() {
        if (m_written) std::fputs("\r\033[K", stderr);
    }

    bool shown() const { return m_shown; }

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

// Under an address-space limit (ulimit -v) every thread's stack takes from it, and so does every
// memory arena glibc makes for a thread (64 MB reserved at once): the threads allocate from one
// arena, and they are no more than let their stacks take half of what is left; the files get the
// rest.
unsigned affordableJobs(unsigned jobs) {
    if (jobs <= 1) return jobs;
    const std::optional<std::uint64_t> left = memory::currentFigures().addressSpaceLeft;
    if (!left) return jobs;
#ifdef M_ARENA_MAX
    ::mallopt(M_ARENA_MAX, 1);
#endif
    std::size_t stack = std::size_t{8} << 20;
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) == 0) {
        ::pthread_attr_getstacksize(&attributes, &stack);
        ::pthread_attr_destroy(&attributes);
    }
    return static_cast<unsigned>(
        std::clamp<std::uint64_t>(*left / 2 / std::max<std::size_t>(stack, 1), 1, jobs));
}

// Runs the tasks on up to `jobs` threads (those that can be had; the calling thread when none can)
// and hands their outcomes to `take` in the order of the tasks, as each becomes ready, updating
// the progress line while it waits.
void runInOrder(std::vector<std::function<TextOutcome()>>& tasks, unsigned jobs, Progress& progress,
                const std::function<void(TextOutcome&)>& take) {
    // One text without a progress line runs on the calling thread: a thread of its own would add
    // its start, its stack and its own heap to every run in a script.
    if (tasks.size() == 1 && !progress.shown()) {
        TextOutcome outcome = tasks[0]();
        take(outcome);
        return;
    }
    std::vector<std::optional<TextOutcome>> outcomes(tasks.size());
    std::vector<std::exception_ptr> failures(tasks.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> unitsDone{0};
    // No task starts before every thread has its stack: a file's memory is measured after them.
    std::latch allStarted(1);
    auto work = [&] {
        allStarted.wait();
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
    workers.reserve(jobs);
    try {
        for (unsigned j = 0; j < jobs; ++j)
            workers.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked (a limit on processes or on memory): those there share the tasks.
    }
    allStarted.count_down();
    if (workers.empty()) work();
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

// Blocks in flight take memory a thread each: past a few threads the writing, not the running,
// sets the pace.
constexpr unsigned kMostBlockJobs = 4;

bool onTerminal(const std::ostream& err) {
    return &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}

}  // namespace

int runOnTexts(const std::vector<Step>& steps, const Settings& settings, std::istream& in, std::ostream& out,
               std::ostream& err) {
    Settings s = settings;
    if (s.files == std::vector<std::string>{"-"}) s.files.clear();
    checkSettings(s);
    StandardOutput standardOutput(out);
    InputMemory inputMemory;
    const unsigned jobsAsked = s.jobs ? s.jobs : std::max(1u, std::thread::hardware_concurrency());
    const std::size_t texts = std::max<std::size_t>(s.files.size(), 1);
    const unsigned jobs = affordableJobs(static_cast<unsigned>(std::min<std::size_t>(texts, jobsAsked)));
    // One text's blocks run on several cores only when asked: that shortens the run but costs CPU
    // time, which a machine busy with other work would rather keep. Several texts share the jobs a
    // text each.
    const unsigned blockJobs = texts == 1 && s.jobs ? affordableJobs(std::min(s.jobs, kMostBlockJobs)) : 1;
    std::vector<std::function<TextOutcome()>> tasks;
    if (s.files.empty()) {
        tasks.emplace_back([&] { return runOnInput(steps, s, in, standardOutput, out, blockJobs); });
    } else {
        for (const std::string& file : s.files)
            tasks.emplace_back(
                [&, file] { return runOnFile(steps, s, file, inputMemory, out, blockJobs, standardOutput); });
    }
    // Text typed on the terminal is not drawn over.
    const bool typed = s.files.empty() && &in == &std::cin && ::isatty(STDIN_FILENO) == 1;
    std::vector<std::string> failed;
    std::size_t index = 0;
    {
        Progress progress(!s.quiet && !typed && onTerminal(err), tasks.size());
        runInOrder(tasks, jobs, progress, [&](TextOutcome& outcome) {
            err << outcome.messages << std::flush;
            if (outcome.ok && (outcome.result || outcome.resultUtf8)) {
                try {
                    deliver(outcome, s, standardOutput, err);
                } catch (const UnmappableCharacter& e) {
                    err << "kivoautofill-cli: " << (s.files.empty() ? "" : s.files[index] + ": ") << e.what()
                        << '\n';
                    outcome.ok = false;
                }
            }
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
