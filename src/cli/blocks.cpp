#include "cli/blocks.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>
#include <variant>

#include "cli/cli_io.h"
#include "cli/files.h"
#include "ops/dispatch.h"
#include "text/memory_budget.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

// A block's bytes as the steps take them: UTF-8 as it is, other encodings decoded; the first
// block without its byte-order mark. UTF-8 checked here gives `shape`, when asked, its line
// breaks' shape, found on the way.
std::variant<std::string_view, Text> upperOf(std::string_view block, std::uint64_t offset,
                                             TextEncoding encoding, const std::string& what, bool checked,
                                             std::optional<LineBreakShape>* shape = nullptr) {
    if (isUtf8(encoding)) {
        if (offset == 0 && encoding == TextEncoding::Utf8WithMark && block.starts_with("\xEF\xBB\xBF"))
            block.remove_prefix(3);
        if (checked) return block;
        const bool valid = shape ? (*shape = utf8::checkedShape(block)).has_value() : utf8::isValid(block);
        if (!valid) throw InputError(what + " is not valid UTF-8");
        return block;
    }
    std::optional<DecodedText> decoded = decodeTextBytesAs(block, encoding);
    if (!decoded) throw InputError(what + " is not valid " + encodingName(encoding));
    return std::move(decoded->text);
}

// A character of a block's result that the output's encoding cannot hold.
struct Unmappable {
    Text text;
    std::size_t index = 0;
};

struct BlockResult {
    bool ok = false;
    bool keptNone = false;  // with the operation's empty-result message, which the text may not show
    std::string bytes = {};
    std::string messages = {};
    // Only where the output's encoding can refuse a character: the result's line breaks, by which
    // the blocks after it tell where their lines are, and the character it refused.
    std::size_t lineBreaks = 0;
    std::optional<Unmappable> unmappable = {};
};

// A block's result as the bytes of the output's form.
BlockResult resultOf(DispatchResult& run, const OutputForm& form, bool changeBreaks) {
    BlockResult result{.ok = true};
    if (run.lowerUtf8 && isUtf8(form.encoding)) {
        if (changeBreaks) changeLineBreaks(*run.lowerUtf8, form.lineBreak);
        result.bytes = std::move(*run.lowerUtf8);
        return result;
    }
    Text text = run.lower ? std::move(*run.lower) : utf8::decode(*run.lowerUtf8).value();
    if (changeBreaks) changeLineBreaks(text, form.lineBreak);
    if (!form.questionMarks) {
        result.lineBreaks = lineCountOf(text) - 1;
        if (const std::optional<std::size_t> at = unmappableIndex(text, form.encoding)) {
            result.ok = false;
            result.unmappable = Unmappable{std::move(text), *at};
            return result;
        }
    }
    result.bytes = encodeTextBytes(text, form.encoding, false);
    return result;
}

// What every block's run shares.
struct BlockRun {
    const std::vector<Step>& steps;
    std::vector<OptionTexts> options;
    const Settings& settings;
    std::string what;
    std::string prefix;
    TextEncoding encoding;
    OutputForm form;
    bool changeBreaks;
    std::uint64_t memoryBytes;  // a block's share of the memory, measured once
    bool checked = false;       // its UTF-8 found valid as it was read
    bool countsLines = false;   // a step is told the lines before each block

    BlockResult operator()(std::string_view block, std::uint64_t offset, std::uint64_t linesBefore) const {
        std::ostringstream messages;
        CliContext ctx(messages, settings.answers);
        ctx.setMeasuredMemory(memoryBytes);
        ctx.setLinesBefore(linesBefore);
        std::optional<LineBreakShape> shape;
        std::variant<std::string_view, Text> upper = upperOf(block, offset, encoding, what, checked, &shape);
        // The first step need not look at every byte again.
        if (const auto* bytes = std::get_if<std::string_view>(&upper); bytes && shape)
            ctx.noteLineBreakShape(*bytes, *shape);
        std::string utf8;  // a step's result made from UTF-8 bytes, the next step's upper text
        DispatchResult run{DispatchEnd::Ran, std::nullopt};
        for (std::size_t i = 0; i < steps.size(); ++i) {
            ctx.setPrefix(prefix + steps[i].where);
            const UpperText given = std::holds_alternative<Text>(upper)
                                        ? UpperText(TextView(std::get<Text>(upper)))
                                        : UpperText(std::get<std::string_view>(upper));
            // Only the last step's result has its line breaks changed; a step before gives CrLf.
            ctx.setTakesLfBreaks(i + 1 == steps.size() && changeBreaks && form.lineBreak == u"\n");
            const int shownBefore = ctx.messagesShown();
            run = dispatch(*steps[i].call.op, given, options[i], ctx);
            if (!run.hasResult() || ctx.cancelled()) {
                const TextView empty = steps[i].call.op->emptyResultMessage;
                const bool keptNone = !empty.empty() && !ctx.cancelled() &&
                                      ctx.messagesShown() == shownBefore + 1 && ctx.lastMessage() == empty;
                return {.ok = keptNone, .keptNone = keptNone, .messages = messages.str()};
            }
            if (i + 1 == steps.size()) break;
            if (run.lower) {
                upper = std::move(*run.lower);
            } else {
                utf8 = std::move(*run.lowerUtf8);
                upper = std::string_view(utf8);
            }
        }
        BlockResult result = resultOf(run, form, changeBreaks);
        result.messages = messages.str();
        return result;
    }
};

// Where the result's bytes go as they come; commit() once the last block has run, abandon() when
// the run ends without its result.
class Target {
public:
    virtual ~Target() = default;
    virtual void write(std::string_view bytes) = 0;
    virtual WriteNote commit() = 0;
    virtual void abandon() {}
    /// Whether what was written can still be given other line breaks (by reline()).
    virtual bool relines() { return false; }
    /// Every `from` line break written so far as `to`.
    virtual void reline(std::u16string_view /*from*/, std::u16string_view /*to*/) {}
};

constexpr std::size_t kSpoolPiece = std::size_t{1} << 20;

// Each piece of what `fd` reads from where it is, then an empty one at its end.
void forEachPiece(int fd, const std::function<void(std::string_view)>& take, const char* failure) {
    // Read into memory that is not cleared first: a short result touches a page of it.
    const std::unique_ptr<char[]> buffer(new char[kSpoolPiece]);
    for (;;) {
        ssize_t got;
        do {
            got = ::read(fd, buffer.get(), kSpoolPiece);
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw IoFailure(failure);
        take({buffer.get(), static_cast<std::size_t>(got)});
        if (got == 0) return;
    }
}

// Holds the result back in a temporary file (not memory) until the run has succeeded, then hands it
// to its target, each CrLf as the line break the whole input's breaks ask for.
class Spool final : public Target {
public:
    explicit Spool(Target& target) : m_target(target) {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") + "/kivo-spool.XXXXXX";
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd < 0)
            throw IoFailure("cannot make a temporary file in " + name + ": " + std::strerror(errno));
        ::unlink(name.c_str());
    }
    ~Spool() override { ::close(m_fd); }
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    void setLineBreak(std::u16string_view lineBreak) { m_lineBreak = lineBreak; }
    void write(std::string_view bytes) override {
        try {
            writeAll(m_fd, bytes);
        } catch (const std::system_error& e) {
            throw IoFailure(std::string("cannot hold the result back: ") + e.code().message());
        }
    }
    WriteNote commit() override {
        if (::lseek(m_fd, 0, SEEK_SET) != 0) throw IoFailure("cannot read the result held back");
        std::string piece;
        bool heldCr = false;
        forEachPiece(
            m_fd,
            [&](std::string_view got) {
                piece.assign(heldCr ? 1 : 0, '\r');
                piece.append(got);
                // A CrLf may be cut between two pieces: its Cr waits.
                heldCr = !got.empty() && piece.back() == '\r';
                if (heldCr) piece.pop_back();
                changeLineBreaks(piece, m_lineBreak);
                m_target.write(piece);
            },
            "cannot read the result held back");
        return m_target.commit();
    }

private:
    Target& m_target;
    int m_fd = -1;
    std::u16string_view m_lineBreak = u"\r\n";
};

// Standard output; when it is a regular file (or /dev/null) what a failed run wrote is taken back,
// so that it need not be held back.
class StreamTarget final : public Target {
public:
    explicit StreamTarget(std::ostream& out) : m_out(out) {
        auto* file = dynamic_cast<OutputFile*>(out.rdbuf());
        if (file && file->marksTakeBack()) m_file = file;
    }
    ~StreamTarget() override {
        if (m_reader >= 0) ::close(m_reader);
    }
    StreamTarget(const StreamTarget&) = delete;
    StreamTarget& operator=(const StreamTarget&) = delete;

    bool takesBack() const { return m_file != nullptr; }
    void write(std::string_view bytes) override {
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    WriteNote commit() override {
        m_out.flush();
        return std::nullopt;
    }
    void abandon() override {
        if (m_file) m_file->takeBack();
    }
    bool relines() override {
        if (!m_file || !m_file->keepsWritten()) return m_file != nullptr;
        if (m_reader < 0) m_reader = m_file->readerAtMark();
        return m_reader >= 0;
    }
    // What was written goes through a spool: its line breaks become CrLf on the way there, and the
    // spool gives each CrLf as `to` on the way back.
    void reline(std::u16string_view from, std::u16string_view to) override {
        m_out.flush();
        if (m_reader < 0) return;  // /dev/null keeps nothing
        Spool spool(*this);
        forEachPiece(
            m_reader,
            [&](std::string_view got) {
                std::string piece(got);
                if (from.size() == 1) asCrLf(piece, static_cast<char>(from[0]));
                spool.write(piece);
            },
            "cannot read back standard output");
        m_file->takeBack();
        spool.setLineBreak(to);
        spool.commit();
    }

private:
    // Every `lineBreak` (Lf or Cr, the only one the text has) as CrLf.
    static void asCrLf(std::string& piece, char lineBreak) {
        std::string crlf;
        crlf.reserve(piece.size() + piece.size() / 16);
        for (const char c : piece) {
            if (c == lineBreak)
                crlf += "\r\n";
            else
                crlf += c;
        }
        piece = std::move(crlf);
    }

    std::ostream& m_out;
    OutputFile* m_file = nullptr;
    int m_reader = -1;  // what was written, read back
};

class FileTarget final : public Target {
public:
    FileTarget(const std::string& path, std::string shown) : m_file(path, std::move(shown)) {}
    void write(std::string_view bytes) override { m_file.write(bytes); }
    WriteNote commit() override { return m_file.commit(); }

private:
    ReplacingFile m_file;
};

// What a file's first reading found: the encoding its whole would be read in, and its line breaks.
struct FileLook {
    TextEncoding encoding = TextEncoding::Utf8;
    bool guessed = false;
    LineBreakStyle style = LineBreakStyle::None;
    std::string note;
};

// What the blocks of a file read so far tell of its encoding and its line breaks.
class FileLooker {
public:
    FileLooker(std::string what, EncodingChoice named) : m_what(std::move(what)), m_named(named) {}

    /// The block's encoding; a named encoding's bytes are checked unless the run checks them.
    void addEncoding(std::string_view block, std::uint64_t offset, bool checkNamed) {
        if (offset == 0) m_firstBytes = block.substr(0, 3);
        if (!m_named) return m_detector.addFirstPass(block);
        if (checkNamed)
            upperOf(block, offset, isUtf8(*m_named) ? TextEncoding::Utf8WithMark : *m_named, m_what, false);
        if (*m_named == TextEncoding::Cp932 && m_note.empty())
            if (const std::optional<std::string> change = cp932ChangeOnWriting(block, offset))
                m_note = m_what + ": " + *change + ", as is every character with two forms";
    }
    void addStyle(std::string_view block) { m_style = combinedStyle(m_style, lineBreakStyleOf(block)); }

    /// The encoding the blocks so far are read in without a second look, or nothing yet.
    std::optional<TextEncoding> encodingSoFar() const {
        if (m_named) {
            if (!isUtf8(*m_named)) return *m_named;
            return m_firstBytes.starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8WithMark : TextEncoding::Utf8;
        }
        if (m_detector.needsSecondPass()) return std::nullopt;
        const auto verdict = m_detector.verdict();
        return verdict ? std::optional(verdict->first) : std::nullopt;
    }
    /// Whether every block so far is still UTF-8, as the first ones were.
    bool readsAsUtf8() const { return m_named || m_detector.readsAsUtf8(); }
    LineBreakStyle style() const { return m_style; }
    const std::string& note() const { return m_note; }

    /// After every block's first pass: the second pass when code page 932 and EUC-JP are left to
    /// tell apart, then the whole file's look; nothing when no encoding reads it.
    template <typename Pass>
    std::optional<FileLook> look(Pass&& pass) {
        FileLook look{.style = m_style, .note = m_note};
        if (m_named) {
            look.encoding = *encodingSoFar();
            return look;
        }
        if (m_detector.needsSecondPass())
            pass([&](std::string_view block) { m_detector.addSecondPass(block); });
        const auto verdict = m_detector.verdict();
        if (!verdict) return std::nullopt;
        std::tie(look.encoding, look.guessed) = *verdict;
        return look;
    }

private:
    std::string m_what;
    EncodingChoice m_named;
    EncodingDetector m_detector{AsciiAs::Utf8};
    std::string m_firstBytes;
    LineBreakStyle m_style = LineBreakStyle::None;
    std::string m_note;
};

// Reads the file once (twice when only code page 932 and EUC-JP are left to tell apart): its
// encoding as the whole file would be detected, or checked when named, and its line breaks.
// Nothing when no encoding reads it: the whole file's reading says why.
std::optional<FileLook> lookAtFile(std::istream& in, const std::string& what, EncodingChoice named) {
    FileLooker looker(what, named);
    const auto pass = [&](auto perBlock) {
        in.clear();
        in.rdbuf()->pubseekpos(0);
        LineBlocks blocks(*in.rdbuf(), what);
        while (const std::optional<std::string_view> block = blocks.next())
            perBlock(*block, blocks.offset());
    };
    pass([&](std::string_view block, std::uint64_t offset) {
        looker.addStyle(block);
        looker.addEncoding(block, offset, true);
    });
    std::optional<FileLook> look = looker.look(
        [&](auto secondPass) { pass([&](std::string_view block, std::uint64_t) { secondPass(block); }); });
    in.clear();
    in.rdbuf()->pubseekpos(0);
    return look;
}

// Runs every block in order, on `jobs` threads when there are several: the reading and writing
// thread keeps at most two blocks a thread in flight. The first block that ends without a result
// ends the run.
// The blocks' results in order, as the whole text's result: a block that kept no line adds
// nothing, and the line break that ends what came before it goes too when it ends the text without
// a line break of its own (as a whole text's last kept line has none then); when no block kept a
// line the message is the run's.
class BlockResults {
public:
    BlockResults(const BlockRun& run, Target& target, std::ostringstream& messages)
        : m_run(run),
          m_target(target),
          m_messages(messages),
          m_lineBreak(run.changeBreaks ? utf8::encode(run.form.lineBreak) : "\r\n") {}

    /// Takes the next block's result; false when it ends the run.
    bool take(BlockResult result, char lastByte) {
        // A pick of lines by number may end without a line break: the next block's are parted
        // from it by one.
        const bool parted = m_run.countsLines && m_keptSome && m_heldBreak.empty();
        if (result.unmappable)
            throw UnmappableCharacter(result.unmappable->text, result.unmappable->index, m_run.form.encoding,
                                      m_linesBefore + (parted ? 1 : 0));
        m_lastByte = lastByte;
        m_lastKeptNone = result.keptNone || (m_run.countsLines && result.ok && result.bytes.empty());
        if (result.keptNone) {
            if (!m_firstKeptNone) m_firstKeptNone = std::move(result.messages);
            return true;
        }
        m_messages << result.messages;
        if (!result.ok) return false;
        if (m_lastKeptNone) return true;
        m_linesBefore += result.lineBreaks + (parted ? 1 : 0);
        m_keptSome = true;
        m_target.write(parted ? m_lineBreak : std::exchange(m_heldBreak, {}));
        std::string_view bytes = result.bytes;
        if (bytes.ends_with(m_lineBreak)) {
            bytes.remove_suffix(m_lineBreak.size());
            m_heldBreak = m_lineBreak;
        }
        m_target.write(bytes);
        return true;
    }
    /// After the last block: whether the run has its result.
    bool finish() {
        if (!m_keptSome && m_firstKeptNone) {
            m_messages << *m_firstKeptNone;
            return false;
        }
        if (!m_lastKeptNone || m_lastByte == '\n' || m_lastByte == '\r') m_target.write(m_heldBreak);
        return true;
    }

private:
    const BlockRun& m_run;
    Target& m_target;
    std::ostringstream& m_messages;
    std::string m_lineBreak;
    std::string m_heldBreak;
    std::size_t m_linesBefore = 0;
    char m_lastByte = 0;
    bool m_lastKeptNone = false;  // with its message, or no line picked
    bool m_keptSome = false;
    std::optional<std::string> m_firstKeptNone;  // the first message of a block that kept no line
};

// Threads that run the blocks handed to them, each giving its result through a future.
class BlockPool {
public:
    BlockPool(const BlockRun& run, unsigned threads) : m_run(run) {
        for (unsigned t = 0; t < threads; ++t)
            m_threads.emplace_back([this] { work(); });
    }
    ~BlockPool() {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
            m_queue.clear();
        }
        m_wake.notify_all();
    }
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    std::future<BlockResult> run(std::string block, std::uint64_t offset, std::uint64_t linesBefore) {
        std::packaged_task<BlockResult()> task([this, block = std::move(block), offset, linesBefore] {
            return m_run(block, offset, linesBefore);
        });
        std::future<BlockResult> result = task.get_future();
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(task));
        }
        m_wake.notify_one();
        return result;
    }

private:
    void work() {
        for (;;) {
            std::packaged_task<BlockResult()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_closed || !m_queue.empty(); });
                if (m_queue.empty()) return;
                task = std::move(m_queue.front());
                m_queue.pop_front();
            }
            task();
        }
    }

    const BlockRun& m_run;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<BlockResult()>> m_queue;
    bool m_closed = false;
    std::vector<std::jthread> m_threads;  // last: they end before what they use goes
};

// Looks at each block after the first before it runs: false when the input is not what the run took
// it to be.
using BlockCheck = std::function<bool(std::string_view block, std::uint64_t offset)>;

enum class BlocksEnd { Result, NoResult, Mistaken };

BlocksEnd runBlocks(LineBlocks& blocks, std::string_view first, const BlockRun& run, unsigned jobs,
                    const BlockCheck& check, Target& target, std::ostringstream& messages) {
    BlockResults results(run, target, messages);
    bool mistaken = false;
    std::uint64_t lines = 0;
    // The lines before the block about to run, counted only when a step asks.
    const auto linesBefore = [&](std::string_view block) {
        if (!run.countsLines) return std::uint64_t{0};
        return std::exchange(lines, lines + lineBreakCountOf(block));
    };
    const auto next = [&]() -> std::optional<std::string_view> {
        const std::optional<std::string_view> block = blocks.next();
        mistaken = block && check && !check(*block, blocks.offset());
        return mistaken ? std::nullopt : block;
    };
    const auto ended = [&](bool ok) {
        if (mistaken) return BlocksEnd::Mistaken;
        return ok && results.finish() ? BlocksEnd::Result : BlocksEnd::NoResult;
    };
#ifdef M_MMAP_THRESHOLD
    // The blocks' buffers come and go: kept in the heap, they are not mapped (or the heap's top
    // given back), then faulted in again, a page at a time, for every block.
    ::mallopt(M_MMAP_THRESHOLD, 64 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    if (jobs <= 1) {
        bool ok = true;
        for (std::optional<std::string_view> block = first; block && ok; block = next())
            ok = results.take(run(*block, blocks.offset(), linesBefore(*block)), block->back());
        return ended(ok);
    }
    BlockPool pool(run, jobs);
    std::deque<std::pair<std::future<BlockResult>, char>> running;
    const auto takeFirst = [&] {
        auto [result, lastByte] = std::move(running.front());
        running.pop_front();
        return results.take(result.get(), lastByte);
    };
    bool ok = true;
    for (std::optional<std::string_view> block = first; block && ok; block = next()) {
        running.emplace_back(pool.run(std::string(*block), blocks.offset(), linesBefore(*block)),
                             block->back());
        if (running.size() >= 2 * jobs) ok = takeFirst();
    }
    while (ok && !mistaken && !running.empty())
        ok = takeFirst();
    return ended(ok);
}

bool alwaysComplete(const std::vector<Step>& steps) {
    return std::none_of(steps.begin(), steps.end(),
                        [](const Step& s) { return s.call.op->refusesSomeLines; });
}

}  // namespace

bool runsBlockByBlock(const std::vector<Step>& steps) {
    const Date date = today();
    return std::all_of(steps.begin(), steps.end(), [&](const Step& s) {
        return runsBlockByBlock(*s.call.op, s.call.texts(date)) &&
               (steps.size() == 1 || !s.call.op->countsLines);
    });
}

bool cutsAtLineBreaks(TextEncoding input, TextEncoding output) {
    const auto wide = [](TextEncoding e) { return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be; };
    return !wide(input) && !wide(output);
}

namespace {

// Where the result goes, and whether what a failed run wrote there can be taken back.
struct Destination {
    std::unique_ptr<Target> target;
    bool takesBack = true;
};

// The input's form as a run takes it: its encoding and the line breaks of the whole input, or of
// its first block when the whole's are not known yet.
struct InputForm {
    TextEncoding encoding;
    LineBreakStyle style;
    bool styleKnown;
};

// One run of the steps on an input a block at a time.
class BlockRunner {
public:
    BlockRunner(const std::vector<Step>& steps, const Settings& s, const BlockRunPlaces& places,
                std::optional<std::string> targetFile, unsigned jobs)
        : m_steps(steps), m_s(s), m_places(places), m_targetFile(std::move(targetFile)), m_jobs(jobs) {}

    /// A file read once, when its result can be taken back: the encoding and line breaks its first
    /// block shows are taken for the whole file's, and every later block confirms them before it
    /// runs. Nothing when the file turns out otherwise, or its first block tells too little: what
    /// was written is taken back, and the file is read twice instead.
    std::optional<BlockRunEnd> readingOnce(EncodingChoice named) {
        Destination destination = destinationOf();
        if (!destination.takesBack) return std::nullopt;
        LineBlocks blocks(*m_places.in.rdbuf(), m_places.inputName);
        const std::optional<std::string_view> first = blocks.next();
        if (!first) return std::nullopt;
        FileLooker looker(m_places.inputName, named);
        looker.addEncoding(*first, 0, false);
        const std::optional<TextEncoding> encoding = looker.encodingSoFar();
        if (!encoding || !cutsAtLineBreaks(*encoding, m_s.outputEncoding.value_or(*encoding)) ||
            (!named && !looker.readsAsUtf8()))
            return std::nullopt;
        const LineBreakStyle style = lineBreakStyleOf(*first);
        const bool styleSettled = settlesForm(style);
        looker.addStyle(*first);
        const BlockCheck confirm = [&](std::string_view block, std::uint64_t offset) {
            looker.addEncoding(block, offset, false);
            if (!styleSettled) looker.addStyle(block);
            return looker.readsAsUtf8();
        };
        const InputForm form{*encoding, style, true};
        std::ostringstream messages;
        const auto mistaken = [&] {
            destination.target->abandon();
            return std::nullopt;
        };
        BlocksEnd end;
        try {
            end = runOn(blocks, *first, form, !named, confirm, *destination.target, messages);
        } catch (...) {
            destination.target->abandon();
            if (!named && !sameLook(*encoding, style)) return std::nullopt;
            throw;
        }
        if (end == BlocksEnd::Mistaken) return mistaken();
        if (end == BlocksEnd::NoResult && !named && !sameLook(*encoding, style)) return mistaken();
        if (end == BlocksEnd::Result) {
            const bool sameEncoding = looker.encodingSoFar() == encoding;
            const bool sameBreaks = styleSettled || sameLineBreak(*encoding, looker.style(), style);
            if (!sameEncoding || !sameBreaks) return mistaken();
        }
        if (!looker.note().empty())
            messages.str("kivoautofill-cli: " + looker.note() + "\n" + messages.str());
        return finish(end, *destination.target, blocks, messages);
    }

    /// The input once its encoding is known (a file's from a first reading, `look`).
    std::optional<BlockRunEnd> knowing(TextEncoding encoding, const std::optional<FileLook>& look) {
        std::ostringstream messages;
        if (look && !look->note.empty()) messages << "kivoautofill-cli: " << look->note << '\n';
        if (!cutsAtLineBreaks(encoding, m_s.outputEncoding.value_or(encoding))) return std::nullopt;
        LineBlocks blocks(*m_places.in.rdbuf(), m_places.inputName);
        const std::optional<std::string_view> first = blocks.next();
        if (!first) return std::nullopt;
        // Standard input's line breaks are known only at its end, unless its first block already
        // decides the form (CrLf, or several kinds, give CrLf whatever follows) or the settings do.
        // Till then the result takes the form of its first block's breaks where what was written
        // can be given others later, and is held back elsewhere.
        const LineBreakStyle style = look ? look->style : lineBreakStyleOf(*first);
        const bool styleKnown = look || settlesForm(style);
        if (!styleKnown) blocks.trackStyle(style);
        Destination destination = destinationOf();
        const bool guessesStyle = !styleKnown && destination.target->relines();
        const InputForm form{encoding, style, styleKnown || guessesStyle};
        const bool writesAsItGoes =
            form.styleKnown && (destination.takesBack || (alwaysComplete(m_steps) && canAlwaysWrite(form)));
        std::optional<Spool> spool;
        if (!writesAsItGoes) spool.emplace(*destination.target);
        Target& sink = spool ? static_cast<Target&>(*spool) : *destination.target;
        BlocksEnd end;
        try {
            end = runOn(blocks, *first, form, false, {}, sink, messages);
        } catch (...) {
            destination.target->abandon();
            throw;
        }
        if (end == BlocksEnd::Result && !styleKnown) {
            const std::u16string_view whole = outputFormOf(m_s, encoding, blocks.style()).lineBreak;
            if (spool) spool->setLineBreak(whole);
            const std::u16string_view guessed = outputFormOf(m_s, encoding, style).lineBreak;
            if (guessesStyle && whole != guessed) destination.target->reline(guessed, whole);
        }
        if (end != BlocksEnd::Result) destination.target->abandon();
        return finish(end, sink, blocks, messages);
    }

private:
    bool settlesForm(LineBreakStyle firstStyle) const {
        return m_s.lineBreaks != LineBreaks::Keep || firstStyle == LineBreakStyle::CrLf ||
               firstStyle == LineBreakStyle::Mixed;
    }
    // Whether the output's encoding may take every character as it comes.
    bool canAlwaysWrite(const InputForm& input) const {
        const OutputForm form = outputFormOf(m_s, input.encoding, input.style);
        return form.questionMarks || isUtf8(form.encoding);
    }
    Destination destinationOf() const {
        if (m_targetFile) return {std::make_unique<FileTarget>(*m_targetFile, *m_places.targetPath), true};
        auto out = std::make_unique<StreamTarget>(m_places.out);
        const bool takesBack = out->takesBack();
        return {std::move(out), takesBack};
    }
    // Whether the whole file, read again, is in the encoding and has the line breaks' form that a
    // run ending without its result took it to have: its messages are then the run's.
    bool sameLook(TextEncoding encoding, LineBreakStyle firstStyle) const {
        const std::optional<FileLook> look = lookAtFile(m_places.in, m_places.inputName, std::nullopt);
        return look && look->encoding == encoding && sameLineBreak(encoding, look->style, firstStyle);
    }
    bool sameLineBreak(TextEncoding encoding, LineBreakStyle whole, LineBreakStyle firstStyle) const {
        return outputFormOf(m_s, encoding, whole).lineBreak ==
               outputFormOf(m_s, encoding, firstStyle).lineBreak;
    }

    BlocksEnd runOn(LineBlocks& blocks, std::string_view first, const InputForm& input, bool checked,
                    const BlockCheck& check, Target& sink, std::ostringstream& messages) const {
        const Date date = today();
        // Every block in flight may take its share.
        const std::uint64_t memoryBytes = memory::resultBytes() / (m_jobs > 1 ? 2 * m_jobs : 1);
        BlockRun run{m_steps,
                     {},
                     m_s,
                     m_places.inputName,
                     m_places.messagePrefix,
                     input.encoding,
                     outputFormOf(m_s, input.encoding, input.style),
                     input.styleKnown,
                     memoryBytes,
                     checked && isUtf8(input.encoding),
                     std::any_of(m_steps.begin(), m_steps.end(),
                                 [](const Step& s) { return s.call.op->countsLines; })};
        for (const Step& step : m_steps)
            run.options.push_back(step.call.texts(date));
        sink.write(byteOrderMark(run.form.encoding));
        return runBlocks(blocks, first, run, m_jobs, check, sink, messages);
    }

    static BlockRunEnd finish(BlocksEnd end, Target& sink, const LineBlocks& blocks,
                              std::ostringstream& messages) {
        const bool ok = end == BlocksEnd::Result;
        if (ok)
            if (const WriteNote note = sink.commit()) messages << "kivoautofill-cli: " << *note << '\n';
        return {.ok = ok, .messages = messages.str(), .inputBytes = blocks.given()};
    }

    const std::vector<Step>& m_steps;
    const Settings& m_s;
    const BlockRunPlaces& m_places;
    std::optional<std::string> m_targetFile;
    unsigned m_jobs;
};

}  // namespace

std::optional<BlockRunEnd> runBlockByBlock(const std::vector<Step>& steps, const Settings& s,
                                           const BlockRunPlaces& places, EncodingChoice encoding,
                                           unsigned jobs) {
    std::optional<std::string> targetFile;
    if (places.targetPath) {
        targetFile = replacedPath(*places.targetPath);
        if (!targetFile) return std::nullopt;  // a device or a FIFO is written whole
    }
    BlockRunner runner(steps, s, places, std::move(targetFile), jobs);
    if (!places.inputIsFile) return encoding ? runner.knowing(*encoding, std::nullopt) : std::nullopt;
    if (std::optional<BlockRunEnd> end = runner.readingOnce(encoding)) return end;
    const std::optional<FileLook> look = lookAtFile(places.in, places.inputName, encoding);
    if (!look) return std::nullopt;
    refuseGuessedRewrite(look->guessed, look->encoding, s, places.inputName);
    return runner.knowing(look->encoding, look);
}

}  // namespace kivo::cli
