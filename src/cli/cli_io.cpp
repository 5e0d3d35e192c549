#include "cli/cli_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>

#include "text/cp932.h"
#include "text/memory_budget.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr std::string_view kStandardInput = "standard input";
constexpr std::size_t kOutputBuffer = std::size_t{1} << 16;

// The streams of the standard library report a failed read by an exception; the reason is the
// errno of the read that failed. A read gives less than asked only at the input's end, which is
// then not asked for again: on a terminal, Ctrl+D ends the input once, and a second read would wait
// for more.

// What is left of the input when it is a file, whose stream can seek; nothing for a pipe.
std::optional<std::size_t> remainingSize(std::streambuf& buf) {
    const auto here = buf.pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1)) return std::nullopt;
    const auto end = buf.pubseekoff(0, std::ios::end, std::ios::in);
    if (end == std::streampos(-1) || buf.pubseekpos(here, std::ios::in) != here || end < here)
        return std::nullopt;
    return static_cast<std::size_t>(end - here);
}

// Room in `text` for `more` units, growing by doubling as a string does, but never reserving past
// the limit: a doubling refused for lack of memory is an input too large, like one past the limit.
void reserveFor(Text& text, std::size_t more, std::uint64_t maxUnits) {
    const std::size_t needed = text.size() + more;
    if (needed <= text.capacity()) return;
    try {
        text.reserve(static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max(2 * text.capacity(), needed), maxUnits + more)));
    } catch (const std::bad_alloc&) {
        throw inputTooLarge(kStandardInput, maxUnits * 3);
    }
}

// UTF-8 is decoded a block at a time as it arrives, so that the input's bytes are never held
// whole; a sequence split between two blocks waits at the front of the buffer for its rest. A
// file's text is sized once from its length, since a byte never gives more than one unit. The
// first block is read before the size is asked: a directory seeks to a nonsense end but fails to
// read.
Text decodeUtf8(std::istream& in, std::uint64_t maxBytes) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    const std::uint64_t maxUnits = maxBytes / sizeof(char16_t);
    std::streambuf& buf = *in.rdbuf();
    Text text;
    std::string block(kBlock + 3, '\0');  // a block after up to three bytes held back
    std::size_t held = 0;
    for (bool first = true;; first = false) {
        const std::streamsize got = readSome(buf, block.data() + held, kBlock, kStandardInput);
        if (got <= 0) break;
        const bool ended = static_cast<std::size_t>(got) < kBlock;
        if (first) {
            if (const std::optional<std::size_t> rest = remainingSize(buf)) {
                // Three bytes give at least one unit.
                if ((*rest + got) / 3 > maxUnits)
                    throw inputTooLarge(kStandardInput, maxUnits * 3, *rest + got);
                reserveFor(text, static_cast<std::size_t>(std::min<std::uint64_t>(*rest + got, maxUnits)),
                           maxUnits);
            }
        }
        const std::string_view bytes(block.data(), held + static_cast<std::size_t>(got));
        reserveFor(text, bytes.size(), maxUnits);
        const std::size_t complete = utf8::completeLength(bytes);
        if (!utf8::appendDecoded(bytes.substr(0, complete), text)) throw InputError(kInputNotUtf8);
        if (text.size() > maxUnits) throw inputTooLarge(kStandardInput, maxUnits * 3);
        held = bytes.size() - complete;
        std::memmove(block.data(), block.data() + complete, held);
        if (ended) break;
    }
    // Bytes still held back are a sequence cut short by the end of the input.
    if (!utf8::appendDecoded(std::string_view(block.data(), held), text)) throw InputError(kInputNotUtf8);
    return text;
}

}  // namespace

std::streamsize readSome(std::streambuf& buf, char* to, std::size_t count, std::string_view what) {
    errno = 0;
    try {
        return std::max<std::streamsize>(buf.sgetn(to, static_cast<std::streamsize>(count)), 0);
    } catch (const std::ios_base::failure&) {
        throw InputError("cannot read " + std::string(what) + ": " +
                         (errno != 0 ? std::strerror(errno) : "read error"));
    }
}

IoFailure inputTooLarge(std::string_view what, std::uint64_t limitBytes,
                        std::optional<std::uint64_t> neededBytes) {
    const auto megabytes = [](std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20); };
    return IoFailure(std::string(what) + " is too large for the memory available: " +
                     (neededBytes
                          ? "it takes about " + megabytes(*neededBytes) + " MB, " + megabytes(limitBytes) +
                                " MB can be held"
                          : "it takes more than the " + megabytes(limitBytes) + " MB that can be held"));
}

std::uint64_t inputMemoryLimit() {
    return memory::resultBytes() / 3;
}

void InputBytes::Free::operator()(char* p) const {
    std::free(p);
}

// A large buffer asks for huge pages: filling 50 MB of fresh memory a 4 KB page at a time costs
// more than most operations.
InputBytes::InputBytes(std::istream& in, std::uint64_t maxBytes, std::string_view what) : m_what(what) {
    std::streambuf& buf = *in.rdbuf();
    grow(std::size_t{1} << 16);
    for (bool first = true;; first = false) {
        if (m_size == m_capacity) {
            if (m_size > maxBytes) throw inputTooLarge(m_what, maxBytes);
            grow(static_cast<std::size_t>(std::min<std::uint64_t>(2 * m_capacity, maxBytes + 1)));
        }
        const std::size_t wanted = m_capacity - m_size;
        const std::streamsize got = readSome(buf, m_data.get() + m_size, wanted, m_what);
        if (got <= 0) break;
        m_size += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < wanted) break;
        if (first) {
            // A file is known whole after its first block: allocated once, or refused at once.
            const std::optional<std::size_t> rest = remainingSize(buf);
            if (rest && m_size + *rest > maxBytes) throw inputTooLarge(m_what, maxBytes, m_size + *rest);
            if (rest && m_size + *rest >= m_capacity) grow(m_size + *rest + 1);
        }
    }
    if (m_size > maxBytes) throw inputTooLarge(m_what, maxBytes);
}

// A small input (most files of a folder) takes no more than it needs.
void InputBytes::grow(std::size_t capacity) {
    constexpr std::size_t kHugePage = std::size_t{1} << 21;
    const bool huge = capacity > kHugePage / 2;
    if (huge) capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    std::unique_ptr<char, Free> data(
        static_cast<char*>(huge ? std::aligned_alloc(kHugePage, capacity) : std::malloc(capacity)));
    if (!data) throw inputTooLarge(m_what, capacity);
#ifdef MADV_HUGEPAGE
    if (huge) madvise(data.get(), capacity, MADV_HUGEPAGE);  // only advice: refused, pages are small
#endif
    if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
}

// Big enough that a block's run frame costs nothing beside its lines, small enough that a few
// blocks in flight on every core stay far below the memory a whole text would take.
constexpr std::size_t kLineBlockBytes = std::size_t{1} << 18;

std::optional<std::string_view> LineBlocks::next() {
    m_offset += m_given;
    m_size -= m_given;
    if (m_size > 0) std::memmove(m_data.get(), m_data.get() + m_given, m_size);
    m_given = 0;
    while (!m_ended) {
        if (m_size == m_capacity) grow();
        const std::size_t wanted = m_capacity - m_size;
        const std::streamsize got = readSome(m_in, m_data.get() + m_size, wanted, m_what);
        m_size += static_cast<std::size_t>(got);
        m_ended = static_cast<std::size_t>(got) < wanted;
        if (!m_ended && (m_given = lastCut()) > 0) break;
    }
    if (m_ended) m_given = m_size;
    if (m_given == 0) return std::nullopt;
    const std::string_view block(m_data.get(), m_given);
    if (m_tracksStyle && addsToStyle(m_style, block))
        m_style = combinedStyle(m_style, lineBreakStyleOf(block));
    return block;
}

// Whether a block can change the line breaks' style so far: not once they are mixed, nor Lf
// (Cr) breaks by a block without a Cr (Lf), which a quick search tells.
bool LineBlocks::addsToStyle(LineBreakStyle style, std::string_view block) {
    switch (style) {
        case LineBreakStyle::Mixed:
            return false;
        case LineBreakStyle::Lf:
            return block.find('\r') != std::string_view::npos;
        case LineBreakStyle::Cr:
            return block.find('\n') != std::string_view::npos;
        default:
            return true;
    }
}

// After the last Lf followed by a byte that is no line break; 0 when there is none.
std::size_t LineBlocks::lastCut() const {
    for (std::size_t i = m_size; i-- > 1;) {
        const char c = m_data[i];
        if (c != '\r' && c != '\n' && m_data[i - 1] == '\n') return i;
    }
    return 0;
}

void LineBlocks::grow() {
    const std::size_t capacity = m_capacity == 0 ? kLineBlockBytes : 2 * m_capacity;
    // Only a line longer than a block asks for more.
    if (capacity > inputMemoryLimit()) throw inputTooLarge(m_what, inputMemoryLimit());
    std::unique_ptr<char[]> data;
    try {
        data.reset(new char[capacity]);
    } catch (const std::bad_alloc&) {
        throw inputTooLarge(m_what, capacity);
    }
    if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
}

// Code page 932, rare on the command line, is read whole: its bytes and their text (two bytes a
// unit at most) share the input's memory.
Text decodeInput(std::istream& in, Encoding encoding, std::uint64_t maxBytes) {
    if (encoding == Encoding::Utf8) return decodeUtf8(in, maxBytes);
    auto text = cp932::decode(InputBytes(in, maxBytes / 3).view());
    if (!text) throw InputError("standard input is not valid code page 932");
    return std::move(*text);
}

// UTF-8 goes out a block at a time, so that the result is never held twice.
void writeOutput(TextView text, Encoding encoding, std::ostream& out) {
    if (encoding == Encoding::Utf8) {
        utf8::write(text, out);
        out.flush();
    } else {
        writeOutput(cp932::encode(text), out);
    }
}

void writeOutput(std::string_view bytes, std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
}

OutputFile::OutputFile(int fd) : m_fd(fd), m_buffer(new char[kOutputBuffer]) {
    setp(m_buffer.get(), m_buffer.get() + kOutputBuffer);
}

void OutputFile::close() {
    writeBuffered();
    if (::close(m_fd) != 0 && errno != EINTR)
        throw IoFailure(std::string("cannot write standard output: ") + std::strerror(errno));
}

bool OutputFile::marksTakeBack() {
    writeBuffered();
    m_mark.reset();
    struct stat s {};
    if (::fstat(m_fd, &s) != 0) return false;
    if (S_ISCHR(s.st_mode)) {
        struct stat null {};
        return ::stat("/dev/null", &null) == 0 && null.st_rdev == s.st_rdev;
    }
    if (!S_ISREG(s.st_mode)) return false;
    // Opened to append (>>), the file is written at its end, wherever its offset is.
    const int flags = ::fcntl(m_fd, F_GETFL);
    const off_t at = flags >= 0 && (flags & O_APPEND) ? s.st_size : ::lseek(m_fd, 0, SEEK_CUR);
    if (at < 0) return false;
    m_mark = at;
    return true;
}

void OutputFile::takeBack() {
    setp(m_buffer.get(), m_buffer.get() + kOutputBuffer);
    if (m_mark && (::ftruncate(m_fd, *m_mark) != 0 || ::lseek(m_fd, *m_mark, SEEK_SET) < 0))
        throw IoFailure(std::string("cannot take back what was written to standard output: ") +
                        std::strerror(errno));
}

int OutputFile::readerAtMark() {
    writeBuffered();
    if (!m_mark) return -1;
    const int reader = ::open(("/proc/self/fd/" + std::to_string(m_fd)).c_str(), O_RDONLY | O_CLOEXEC);
    if (reader >= 0 && ::lseek(reader, *m_mark, SEEK_SET) != *m_mark) {
        ::close(reader);
        return -1;
    }
    return reader;
}

OutputFile::int_type OutputFile::overflow(int_type c) {
    writeBuffered();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize OutputFile::xsputn(const char* s, std::streamsize n) {
    if (n <= 0) return 0;
    const auto size = static_cast<std::size_t>(n);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(n));
    } else {
        // A large block goes out directly, after what is buffered.
        writeBuffered();
        writeAll(s, size);
    }
    return n;
}

int OutputFile::sync() {
    writeBuffered();
    return 0;
}

void OutputFile::writeBuffered() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.get(), m_buffer.get() + kOutputBuffer);
    writeAll(m_buffer.get(), size);
}

void OutputFile::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            throw IoFailure(std::string("cannot write standard output: ") +
                            std::strerror(written < 0 ? errno : ENOSPC));
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

int closeOutput(int status, OutputFile& output, std::ostream& err) {
    try {
        output.close();
    } catch (const IoFailure& e) {
        // A run that failed has said so already, and wrote nothing that could be lost.
        if (status != 0) return status;
        err << "kivoautofill-cli: " << e.what() << '\n';
        return 1;
    }
    return status;
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace kivo
