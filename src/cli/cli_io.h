#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "text/lines.h"

namespace kivo {

/// Input that cannot be read at all (a closed stream, a directory, a read error) or is not in its
/// encoding: a usage error.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Input too large for the memory available, or output that cannot be written: the run fails.
class IoFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Encoding { Utf8, Cp932 };

inline constexpr const char* kInputNotUtf8 = "standard input is not valid UTF-8";

/// An input (named `what`) that memory cannot hold: the most that can be held, and what it takes
/// when its size is known.
IoFailure inputTooLarge(std::string_view what, std::uint64_t limitBytes,
                        std::optional<std::uint64_t> neededBytes = std::nullopt);

/// Up to `count` bytes, fewer only at the end of the input; InputError naming the input as `what`
/// when it cannot be read.
std::streamsize readSome(std::streambuf& buf, char* to, std::size_t count, std::string_view what);

/// The bytes the input may take in memory: a third of what a result may take (memory::resultBytes),
/// since a run holds the input, often a copy of it with its line breaks made alike, and the result.
std::uint64_t inputMemoryLimit();

/// The whole input in one buffer, read in large blocks: a file's size is known beforehand (the
/// buffer is allocated once), a pipe's buffer doubles as it fills. Throws IoFailure as soon as it
/// holds more than `maxBytes`, and InputError when the input cannot be read; both name the input
/// as `what`.
class InputBytes {
public:
    InputBytes(std::istream& in, std::uint64_t maxBytes, std::string_view what = "standard input");
    std::string_view view() const { return {m_data.get(), m_size}; }

private:
    struct Free {
        void operator()(char* p) const;
    };

    void grow(std::size_t capacity);

    std::unique_ptr<char, Free> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::string m_what;
};

/// The input a block of whole lines at a time, read into one reused buffer so that memory holds
/// a block and the longest line, never the whole input: every block but the last ends after an Lf
/// that a line with characters follows, so that no character (of UTF-8, code page 932 or EUC-JP),
/// CrLf, line or run of empty lines spans two blocks. A line longer than a block grows the buffer,
/// up to inputMemoryLimit(). InputError names the input as `what` when it cannot be read.
class LineBlocks {
public:
    LineBlocks(std::streambuf& in, std::string what) : m_in(in), m_what(std::move(what)) {}

    /// The next block, valid until the next call; nothing after the last.
    std::optional<std::string_view> next();
    /// Where the block given last begins in the input.
    std::uint64_t offset() const { return m_offset; }
    /// The bytes given so far.
    std::uint64_t given() const { return m_offset + m_given; }
    /// The line breaks of every block given from now on, after those of `before` (only when asked:
    /// it costs a look at every byte).
    void trackStyle(LineBreakStyle before) {
        m_tracksStyle = true;
        m_style = before;
    }
    LineBreakStyle style() const { return m_style; }

private:
    std::size_t lastCut() const;
    void grow();
    static bool addsToStyle(LineBreakStyle style, std::string_view block);

    std::streambuf& m_in;
    std::string m_what;
    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;   // bytes read into the buffer
    std::size_t m_given = 0;  // of which the block given last
    std::uint64_t m_offset = 0;
    bool m_ended = false;
    bool m_tracksStyle = false;
    LineBreakStyle m_style = LineBreakStyle::None;
};

/// The input's text in `encoding`, taking at most `maxBytes` of memory as it is read (IoFailure
/// beyond); InputError when it cannot be read or is not valid in its encoding.
Text decodeInput(std::istream& in, Encoding encoding, std::uint64_t maxBytes);

/// The result in `encoding`, flushed. A failing write ends in IoFailure when `out` writes to an
/// OutputFile (any stream whose failure raises an exception).
void writeOutput(TextView text, Encoding encoding, std::ostream& out);
void writeOutput(std::string_view bytes, std::ostream& out);

/// Output straight to a file descriptor, so that a failed write is known with its reason: it
/// throws IoFailure ("cannot write standard output: No space left on device").
class OutputFile final : public std::streambuf {
public:
    explicit OutputFile(int fd);
    /// Writes what is buffered and closes the descriptor; IoFailure when either fails.
    void close();
    /// Whether what is written from now on can be taken back: a regular file (cut back to its
    /// present length), or /dev/null, where nothing written is seen.
    bool marksTakeBack();
    /// Takes back everything written since marksTakeBack().
    void takeBack();
    /// Whether what is written from the mark on is kept (not on /dev/null).
    bool keepsWritten() const { return m_mark.has_value(); }
    /// What was written from the mark on, opened anew for reading at the mark (standard output is
    /// open for writing only), for the caller to close; -1 when it cannot be.
    int readerAtMark();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void writeAll(const char* data, std::size_t size);
    void writeBuffered();

    int m_fd;
    std::unique_ptr<char[]> m_buffer;  // not cleared first: a short output touches a page of it
    std::optional<off_t> m_mark;       // where a regular file was when marked
};

/// The exit status once `output` is closed: `status`, or 1 with a message when a run that wrote
/// its result finds that the last of it could not be written (a close may be the first to tell).
int closeOutput(int status, OutputFile& output, std::ostream& err);

/// A write past the file-size limit (RLIMIT_FSIZE) fails with EFBIG, which is reported, instead
/// of ending the process with SIGXFSZ.
void ignoreFileSizeSignal();

}  // namespace kivo
