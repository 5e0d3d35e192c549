#include "cli/cli_io.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kivo
