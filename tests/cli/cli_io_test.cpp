#include "cli/cli_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <sstream>
#include <string>

#include "pipe_buf.h"

namespace kivo {
namespace {

enum class Outcome { Read, TooLarge, Invalid };

Outcome readInput(const std::string& bytes, bool seekable, Encoding encoding, std::uint64_t maxBytes,
                  bool raw) {
    test::PipeBuf pipe(bytes, 4093);
    std::istringstream file(bytes);
    std::istream in(seekable ? static_cast<std::streambuf*>(file.rdbuf()) : &pipe);
    try {
        if (raw) {
            const InputBytes input(in, maxBytes);
            if (input.view() != bytes) return Outcome::Invalid;
        } else {
            decodeInput(in, encoding, maxBytes);
        }
        return Outcome::Read;
    } catch (const IoFailure&) {
        return Outcome::TooLarge;
    } catch (const InputError&) {
        return Outcome::Invalid;
    }
}

// The input is refused as soon as it takes more memory than it may, from a file (whose size is
// known) and from a pipe alike: bytes as read count one each, UTF-16 units two, and code page 932
// three (its bytes and their text).
TEST(CliInput, MemoryLimit) {
    struct Case {
        std::size_t size;
        Encoding encoding;
        bool raw;
        std::uint64_t maxBytes;
        Outcome outcome;
    };
    const std::size_t kLarge = (std::size_t{5} << 20) + 7;  // past the first block and a doubling
    const Case cases[] = {
        {kLarge, Encoding::Utf8, true, kLarge, Outcome::Read},
        {kLarge, Encoding::Utf8, true, kLarge - 1, Outcome::TooLarge},
        {kLarge, Encoding::Utf8, false, 2 * kLarge, Outcome::Read},
        {kLarge, Encoding::Utf8, false, 2 * kLarge - 2, Outcome::TooLarge},
        {kLarge, Encoding::Cp932, false, 3 * kLarge, Outcome::Read},
        {kLarge, Encoding::Cp932, false, 3 * kLarge - 3, Outcome::TooLarge},
        {0, Encoding::Utf8, false, 0, Outcome::Read},
        {1, Encoding::Utf8, true, 0, Outcome::TooLarge},
    };
    for (const Case& c : cases) {
        const std::string bytes(c.size, 'a');
        for (const bool seekable : {true, false})
            EXPECT_EQ(readInput(bytes, seekable, c.encoding, c.maxBytes, c.raw), c.outcome)
                << c.size << " bytes, limit " << c.maxBytes << (seekable ? ", file" : ", pipe")
                << (c.raw ? ", raw" : ", decoded");
    }
}

// A stream that fails to read, as a closed descriptor or a directory does.
class FailingBuf final : public std::streambuf {
protected:
    std::streamsize xsgetn(char*, std::streamsize) override {
        errno = EISDIR;
        throw std::ios_base::failure("read failed");
    }
};

TEST(CliInput, AFailedReadIsAnInputErrorWithItsReason) {
    FailingBuf failing;
    std::istream in(&failing);
    for (const bool raw : {true, false}) {
        try {
            if (raw) {
                InputBytes(in, 1 << 20);
            } else {
                decodeInput(in, Encoding::Utf8, 1 << 20);
            }
            ADD_FAILURE() << "no error";
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), "cannot read standard input: Is a directory");
        }
    }
}

// The input a block of whole lines at a time: the blocks put together are the input, each but the
// last ends after an Lf before a line with characters, however the lines fall against the buffer (a
// megabyte) and whether the input is a file or a pipe.
TEST(CliInput, LineBlocksAreTheInputCutBeforeLinesWithCharacters) {
    constexpr std::size_t kBuffer = std::size_t{1} << 20;
    std::string lines;
    while (lines.size() < 3 * kBuffer)
        lines += "行" + std::to_string(lines.size()) + "\r\n";
    const std::string inputs[] = {
        lines,
        lines + "no break at the end",
        std::string(kBuffer - 1, 'a') + "\n" + "b",
        std::string(kBuffer - 2, 'a') + "\n\r\n\n" + "b",
        std::string(3 * kBuffer + 5, 'x') + "\nshort\n" + std::string(kBuffer, 'y'),
        std::string(2 * kBuffer, '\n') + "z",
        "one line",
    };
    for (const std::string& input : inputs) {
        for (const bool seekable : {true, false}) {
            test::PipeBuf pipe(input, 4093);
            std::istringstream file(input);
            LineBlocks blocks(seekable ? static_cast<std::streambuf&>(*file.rdbuf()) : pipe,
                              "standard input");
            std::string joined;
            while (const std::optional<std::string_view> block = blocks.next()) {
                EXPECT_FALSE(block->empty());
                if (!joined.empty()) {
                    EXPECT_EQ(joined.back(), '\n');
                    EXPECT_NE(block->front(), '\n');
                    EXPECT_NE(block->front(), '\r');
                }
                EXPECT_EQ(blocks.offset(), joined.size());
                joined += *block;
            }
            EXPECT_EQ(joined, input) << input.size() << (seekable ? " file" : " pipe");
        }
    }
}

// Bytes that fail to read once the first block is in.
class FailingAfterBuf final : public std::streambuf {
public:
    explicit FailingAfterBuf(std::string good) : m_good(std::move(good)) {}

protected:
    std::streamsize xsgetn(char* to, std::streamsize n) override {
        if (m_given) {
            errno = EIO;
            throw std::ios_base::failure("read failed");
        }
        m_given = true;
        const std::size_t size = std::min(m_good.size(), static_cast<std::size_t>(n));
        m_good.copy(to, size);
        return static_cast<std::streamsize>(size);
    }

private:
    std::string m_good;
    bool m_given = false;
};

// A read that fails is the input's failure, named, whenever it comes.
TEST(CliInput, LineBlocksNameAReadThatFails) {
    FailingAfterBuf failing(std::string((std::size_t{1} << 20) + 10, 'a'));
    LineBlocks blocks(failing, "f.txt");
    try {
        blocks.next();
        ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "cannot read f.txt: Input/output error");
    }
}

}  // namespace
}  // namespace kivo
