// Every byte of a file comes back as it was, changed only as the operation asks, through every way
// a result is written; or the run stops with a message and the file is left untouched.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "folder.h"
#include "text/text_encoding.h"
#include "text/utf8.h"

namespace kivo {
namespace {

using test::Folder;
using test::read;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::string bytesOf(TextView text, TextEncoding encoding) {
    return encodeTextBytes(text, encoding);
}

// The ways a single file's result goes out; each gives the bytes it wrote.
enum class Way { StandardOutput, OutputFile, OutputDir, InPlace };
constexpr Way kWays[] = {Way::StandardOutput, Way::OutputFile, Way::OutputDir, Way::InPlace};

CliRun runOnFile(std::vector<std::string> args, const Folder& dir, const std::string& bytes, Way way,
                 std::string& written) {
    const std::string file = dir.file("名簿.txt", bytes);
    if (way == Way::OutputFile) args.insert(args.end(), {"-o", dir.path("out.txt")});
    if (way == Way::OutputDir) args.push_back("--output-dir=" + dir.path("out"));
    if (way == Way::InPlace) args.push_back("--in-place");
    args.push_back(file);
    const CliRun r = cli(args);
    written = way == Way::StandardOutput ? r.out
              : way == Way::OutputFile   ? read(dir.path("out.txt"))
              : way == Way::OutputDir    ? read(dir.path("out/名簿.txt"))
                                         : read(file);
    return r;
}

TEST(FileBytes, EveryEncodingAndLineBreakComesBackThroughEveryWay) {
    const TextEncoding encodings[] = {TextEncoding::Cp932,        TextEncoding::Utf8,
                                      TextEncoding::Utf8WithMark, TextEncoding::Utf16Le,
                                      TextEncoding::Utf16Be,      TextEncoding::EucJp};
    for (const TextEncoding encoding : encodings) {
        for (const Text& lineBreak : {Text(u"\n"), Text(u"\r\n")}) {
            for (const bool finalBreak : {true, false}) {
                const Text end = finalBreak ? lineBreak : Text();
                const Text first = u"東京と　かな\tｶﾅ①", second = u"大阪～";
                const Text in = first + lineBreak + second + end;
                // Line-local operations (run a block at a time), one of them keeping some lines, and
                // one that holds the whole text (run on the bytes themselves when they are UTF-8),
                // whose final empty line comes first.
                const struct {
                    std::vector<std::string> args;
                    Text out;
                } runs[] = {
                    {{"add-text", "--text=・"}, u"・" + first + lineBreak + u"・" + second + end},
                    {{"filter-lines", "--text=東"}, first + end},
                    {{"filter-lines", "--text=阪"}, second + end},
                    {{"sort"},
                     finalBreak ? lineBreak + second + lineBreak + first + lineBreak
                                : second + lineBreak + first},
                };
                for (const auto& [args, out] : runs) {
                    for (const Way way : kWays) {
                        SCOPED_TRACE(std::string(encodingName(encoding)) +
                                     (lineBreak.size() == 1 ? " Lf" : " CrLf") +
                                     (finalBreak ? " ending in a break, way " : ", way ") +
                                     std::to_string(static_cast<int>(way)) + " " + args[0]);
                        const Folder dir;
                        std::string written;
                        const CliRun r = runOnFile(args, dir, bytesOf(in, encoding), way, written);
                        EXPECT_EQ(r.status, 0) << r.err;
                        EXPECT_EQ(r.err, "");
                        EXPECT_EQ(written, bytesOf(out, encoding));
                    }
                }
            }
        }
    }
}

// Files the command line cannot tell, read or write without a loss: either the change asked for,
// or nothing at all (the bytes and the time of the file as they were) and a message.
TEST(FileBytes, RefusesRatherThanGuessesOrLoses) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string bytes;
        std::optional<std::string> written;  // none: refused, the file untouched
        std::string message;                 // a part of standard error
    };
    const std::string sjisVu = "\x83\x94\n";  // ヴ
    const Case cases[] = {
        {"ASCII is UTF-8", {"add-text", "--text=・"}, "ab\n", "・ab\n", ""},
        {"UTF-8 or Shift-JIS", {"add-text", "--text=・"}, "caf\xC3\xA9\n", std::nullopt, "--encoding"},
        {"UTF-8 named", {"add-text", "--text=・", "--encoding=utf-8"}, "caf\xC3\xA9\n", "・café\n", ""},
        {"NUL bytes",
         {"clean-blanks", "--mode=trim-end"},
         std::string("a\0b \n", 5),
         std::nullopt,
         "is not a text file"},
        {"no encoding reads it",
         {"clean-blanks", "--mode=trim-end"},
         "a\x80\xFF \n",
         std::nullopt,
         "is not a text file"},
        {"a character with two forms",
         {"clean-blanks", "--mode=trim-end"},
         "\xED\x40 \n",
         std::nullopt,
         "would not come back"},
        {"two forms, Shift-JIS named",
         {"clean-blanks", "--mode=trim-end", "--encoding=cp932"},
         "\xED\x40 \n",
         "\xFA\x5C\n",
         "written back as FA 5C"},
        {"kana Shift-JIS cannot hold",
         {"convert-kana", "--direction=to-hiragana"},
         sjisVu,
         std::nullopt,
         "1行1文字目：ゔ（U+3094）"},
        {"\"?\" on purpose",
         {"convert-kana", "--direction=to-hiragana", "--unmappable=question-mark"},
         sjisVu,
         "?\n",
         ""},
        {"in another encoding",
         {"convert-kana", "--direction=to-hiragana", "--output-encoding=utf-8"},
         sjisVu,
         "ゔ\n",
         ""},
        // ﾜﾞｲﾝ, also two EUC-JP kanji.
        {"width Shift-JIS cannot hold",
         {"convert-width", "--direction=to-full", "--encoding=cp932"},
         "\xDC\xDE\xB2\xDD",
         std::nullopt,
         "ヷ（U+30F7）"},
        {"CrLf written as Lf", {"add-text", "--text=>", "--line-breaks=lf"}, "a\r\nb", ">a\n>b", ""},
        {"Lf written as CrLf", {"add-text", "--text=>", "--line-breaks=crlf"}, "a\nb\n", ">a\r\n>b\r\n", ""},
        {"mixed breaks as the operation makes them",
         {"add-text", "--text=>"},
         "a\nb\r\nc",
         ">a\r\n>b\r\n>c",
         ""},
        {"lone Cr breaks kept", {"add-text", "--text=>"}, "a\rb\r", ">a\r>b\r", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Folder dir;
        const std::string file = dir.file("f.txt", c.bytes);
        struct stat before {};
        ::stat(file.c_str(), &before);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--in-place", file});
        const CliRun r = cli(args);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        if (c.written) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(read(file), *c.written);
            continue;
        }
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(read(file), c.bytes);
        struct stat after {};
        ::stat(file.c_str(), &after);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    }
    // Standard output reads an unclear file as the window's Open does, in Shift-JIS, and refuses
    // what that cannot hold as a file does.
    const Folder dir;
    EXPECT_EQ(cli({"add-text", "--text=・", dir.file("g.txt", "caf\xC3\xA9\n")}).out,
              "\x81\x45"
              "caf\xC3\xA9\n");
    const CliRun wide = cli({"convert-width", "--direction=to-full", dir.file("w.txt", "\xDC\xDE\xB2\xDD")});
    EXPECT_EQ(wide.status, 1);
    EXPECT_EQ(wide.out, "");
    EXPECT_NE(wide.err.find("ヷ（U+30F7）"), std::string::npos) << wide.err;
}

// A line-local operation runs a block of lines at a time: its result is the whole text's to the
// byte, a refusal in a late block still writes nothing, and what only the whole text tells (the
// encoding, the line breaks) is told as for the whole.
TEST(FileBytes, LargeTextsRunABlockAtATimeAsAWhole) {
    const auto lines = [](const std::string& line, std::size_t count) {
        std::string all;
        for (std::size_t i = 0; i < count; ++i)
            all += line;
        return all;
    };
    const std::size_t n = 300000;  // several blocks
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string bytes;
        std::optional<std::string> written;  // none: refused, nothing written
        bool onStandardInput = false;
        std::string message = {};  // a part of standard error
    };
    const Case cases[] = {
        {"two breaks in a row in the last block",
         {"add-text", "--text=X"},
         lines("abc\r\n", n) + "a\r\n\r\nb",
         {}},
        {"two breaks in a row, standard input",
         {"add-text", "--text=X"},
         lines("abc\r\n", n) + "a\r\n\r\nb",
         {},
         true},
        {"Lf, then CrLf at the end: CrLf throughout",
         {"indent"},
         lines("abc\n", n) + "z\r\n",
         lines("\tabc\r\n", n) + "\tz\r\n",
         true},
        {"Lf throughout stays Lf", {"indent"}, lines("abc\n", n), lines("\tabc\n", n), true},
        {"every third line from the second, counted across blocks",
         {"every-nth-line", "--first=2", "--skip=2", "--jobs=2"},
         lines("abc\r\n", n),
         lines("abc\r\n", (n - 2) / 3) + "abc"},
        {"a file's Lf, then CrLf at the end",
         {"indent"},
         lines("abc\n", n) + "z\r\n",
         lines("\tabc\r\n", n) + "\tz\r\n"},
        {"Shift-JIS after megabytes of ASCII, on two threads",
         {"indent", "--jobs=2"},
         lines("abc\r\n", n) + "\x82\xA0",
         lines("\tabc\r\n", n) + "\t\x82\xA0"},
        {"refused in a middle block of what turns out Shift-JIS",
         {"add-text", "--text=X"},
         lines("abc\r\n", n) + "a\r\n\r\n" + lines("abc\r\n", n) + "\x82\xA0",
         {},
         false,
         "改行"},
        {"Shift-JIS after megabytes of ASCII",
         {"indent"},
         lines("abc\r\n", n) + "\x82\xA0",
         lines("\tabc\r\n", n) + "\t\x82\xA0"},
        {"a byte no encoding reads in the last block", {"indent"}, lines("\xE3\x81\x82\r\n", n) + "\xFF", {}},
        {"a Shift-JIS result that cannot hold a character",
         {"convert-kana", "--direction=to-hiragana"},
         lines("\x83\x41\r\n", n) + "\x83\x94",
         {},
         false,
         "300001行1文字目：ゔ（U+3094）"},
    };
    for (const Case& c : cases) {
        for (const Way way : kWays) {
            if (c.onStandardInput && way != Way::StandardOutput && way != Way::OutputFile) continue;
            SCOPED_TRACE(std::string(c.name) + ", way " + std::to_string(static_cast<int>(way)));
            const Folder dir;
            std::string written;
            CliRun r;
            if (c.onStandardInput) {
                std::vector<std::string> args = c.args;
                if (way == Way::OutputFile) args.insert(args.end(), {"-o", dir.path("out.txt")});
                r = cli(args, c.bytes);
                written = way == Way::OutputFile ? read(dir.path("out.txt")) : r.out;
            } else {
                r = runOnFile(c.args, dir, c.bytes, way, written);
            }
            EXPECT_EQ(r.status, c.written ? 0 : 1) << r.err;
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
            EXPECT_TRUE(written == c.written.value_or(way == Way::InPlace ? c.bytes : ""))
                << written.size() << " bytes written";
        }
    }
}

// Excel's "Unicode text": UTF-16LE after a mark, Tab-separated, CrLf.
TEST(FileBytes, ExcelUnicodeTextStaysExcels) {
    const Folder dir;
    const std::string file =
        dir.file("book.txt", bytesOf(u"品名\t数量\r\nＡＢＣ\t１２３\r\n", TextEncoding::Utf16Le));
    const CliRun r = cli({"convert-width", "--direction=to-half", "--in-place", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(file), bytesOf(u"品名\t数量\r\nABC\t123\r\n", TextEncoding::Utf16Le));
    EXPECT_TRUE(read(file).starts_with("\xFF\xFE"));
}

// What a path names is written as what it is: a link's target, a FIFO's reader; a descriptor is
// never replaced, and another user's file keeps its owner.
TEST(FileBytes, PathsAreWrittenAsWhatTheyAre) {
    const Folder dir;
    const std::string target = dir.file("target.txt", "a\n");
    const std::string link = dir.path("link.txt");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(cli({"add-text", "--text=>", "--in-place", link}).status, 0);
    EXPECT_EQ(read(target), ">a\n");
    struct stat s {};
    ASSERT_EQ(::lstat(link.c_str(), &s), 0);
    EXPECT_TRUE(S_ISLNK(s.st_mode));

    const std::string descriptor = dir.path("stdin");
    ASSERT_EQ(::symlink("/proc/self/fd/0", descriptor.c_str()), 0);
    CliRun r = cli({"add-text", "--text=>", "--in-place", descriptor});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("is a descriptor"), std::string::npos) << r.err;
    ASSERT_EQ(::lstat(descriptor.c_str(), &s), 0);
    EXPECT_TRUE(S_ISLNK(s.st_mode));

    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = cli({"add-text", "--text=>", "--in-place", fifo});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    std::string fromFifo;
    std::thread reader([&] { fromFifo = read(fifo); });
    r = cli({"add-text", "--text=>", "-o", fifo, target});
    reader.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fromFifo, ">>a\n");
    ASSERT_EQ(::lstat(fifo.c_str(), &s), 0);
    EXPECT_TRUE(S_ISFIFO(s.st_mode));

    // A name as long as the file system allows: the temporary name beside it is shortened.
    const std::string longName = dir.file(std::string(250, 'n') + ".txt", "b\n");
    EXPECT_EQ(cli({"add-text", "--text=>", "--in-place", longName}).status, 0);
    EXPECT_EQ(read(longName), ">b\n");

    if (::geteuid() != 0) GTEST_SKIP() << "keeping another user's owner needs root";
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    EXPECT_EQ(cli({"add-text", "--text=>", "--in-place", target}).status, 0);
    ASSERT_EQ(::stat(target.c_str(), &s), 0);
    EXPECT_EQ(s.st_uid, 65534u);
    EXPECT_EQ(s.st_gid, 65534u);
}

// With standard error closed, a temporary file must not take its descriptor and receive the
// messages of other files.
TEST(FileBytes, NoMessageLandsInAResult) {
    const Folder dir;
    std::string files;
    for (int i = 0; i < 6; ++i)
        files += " " + dir.file("g" + std::to_string(i) + ".txt", "a\tb\n");
    const std::string cmd = std::string(KIVO_CLI_PATH) +
                            " replace-special --character=tab --replacement=, --in-place --jobs=2" + files +
                            " 2>&-";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(read(dir.path("g" + std::to_string(i) + ".txt")), "a,b\n");
}

}  // namespace
}  // namespace kivo
