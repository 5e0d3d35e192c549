#include "cli/cli.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "pipe_buf.h"

namespace kivo {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(std::vector<std::string> args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(Cli, ReversesEverySecondLine) {
    const CliRun r = cli({"0", "Combo41=数行おきにリバースする", "Combo42=1"}, "a1\r\na2\r\na3\r\na4\r\na5");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1a\r\na2\r\n3a\r\na4\r\n5a");
    EXPECT_EQ(r.err, "");
}

TEST(Cli, MessagesGoToStandardErrorAndEndTheRun) {
    const CliRun r = cli({"0", "Combo41=数行おきにリバースする"}, "a\r\n\r\nb");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "information: 改行の連続があります。\n");
}

TEST(Cli, EmptyUpperText) {
    const CliRun r = cli({"0"}, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "information: 上部テキストボックスに文字、文字列を入力して下さい。\n");
}

TEST(Cli, BytesAreKeptExactly) {
    // A lone Lf reaches the operation as it is and comes out as CrLf, which a text of Lf line
    // breaks writes as Lf again.
    EXPECT_EQ(cli({"0"}, "ab\ncd").out, "dc\nba");
    EXPECT_EQ(cli({"0", "--line-breaks=crlf"}, "ab\ncd").out, "dc\r\nba");
    EXPECT_EQ(cli({"0"}, "x\b\ty").out, "y\t\bx");
}

TEST(Cli, UsageErrors) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string errStart;
    };
    const Case cases[] = {
        {{}, "a", "kivoautofill-cli: missing operation"},
        {{"53"}, "a", "kivoautofill-cli: unknown operation code '53'"},
        {{"x"}, "a", "kivoautofill-cli: unknown operation 'x'"},
        {{"-1"}, "a", "kivoautofill-cli: unknown operation '-1'"},
        {{"0", "Combo99=1"}, "a", "kivoautofill-cli: unknown control 'Combo99'"},
        {{"0", "Text1=1"}, "a", "kivoautofill-cli: unknown control 'Text1'"},
        // A word that is no option is a file.
        {{"0", "Combo41"}, "a", "kivoautofill-cli: no such file: Combo41"},
        {{"0", "--answer=maybe"}, "a", "kivoautofill-cli: --answer takes yes, no or cancel"},
        {{"0", "--encoding=latin1"},
         "a",
         "kivoautofill-cli: --encoding takes auto, utf-8, cp932, utf-16le, utf-16be or euc-jp"},
        {{"0"}, "\xff\xfe", "kivoautofill-cli: standard input is not valid UTF-8"},
        {{"0"}, "\xed\xa0\x80", "kivoautofill-cli: standard input is not valid UTF-8"},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args, c.input);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

TEST(Cli, Cp932InAndOut) {
    // "あい" in code page 932.
    const CliRun r = cli({"0", "--encoding=cp932"}, "\x82\xa0\x82\xa2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\x82\xa2\x82\xa0");
}

TEST(Cli, ALoneSurrogateIsWrittenAsReplacementCharacter) {
    // A valid pair stays whole; the input cannot carry a lone half, so check the encoder path
    // through a pair that reversal keeps.
    EXPECT_EQ(cli({"0"}, "a\xf0\x9f\x98\x80").out,
              "\xf0\x9f\x98\x80"
              "a");
}

// A large input, seekable or not, arrives whole, with multi-byte characters across every read
// boundary.
TEST(Cli, LargeInputIsReadWhole) {
    std::string input, expected;
    for (int i = 0; input.size() < 300'000; ++i) {
        const std::string line = "行" + std::to_string(i) + "\tかなｱ\r\n";
        input += line;
        std::string replaced = line;
        std::replace(replaced.begin(), replaced.end(), '\t', ' ');
        expected += replaced;
    }
    const std::vector<std::string> args = {"2", "Combo40=Tab(タブ)", "Text26= "};
    EXPECT_EQ(cli(args, input).out, expected);

    test::PipeBuf trickle(input, 7);
    std::istream in(&trickle);
    std::ostringstream out, err;
    EXPECT_EQ(runCli(args, in, out, err), 0);
    EXPECT_EQ(out.str(), expected);
}

// Input is decoded a block of 1 MiB at a time: a character cut by a block's end is carried into
// the next block, and a fault just past the boundary is still found.
TEST(Cli, CharacterAcrossTheInputBlockBoundary) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    for (std::size_t cut = 1; cut <= 3; ++cut) {
        std::string input(kBlock - cut, 'a');
        input += "あ";  // three bytes, `cut` of them in the first block
        input += std::string(10, 'b');
        const std::vector<std::string> args = {"1", "Combo39=改行をカウントしない"};
        EXPECT_EQ(cli(args, input).out, "文字数：" + std::to_string(kBlock - cut + 11)) << cut;

        input[kBlock - cut + 2] = 'x';  // the last byte of あ is no continuation byte
        const CliRun bad = cli(args, input);
        EXPECT_EQ(bad.status, 2) << cut;
        EXPECT_EQ(bad.err, "kivoautofill-cli: standard input is not valid UTF-8\n") << cut;
    }
}

// The line filter reads its input a block of lines at a time (a quarter of a megabyte): what a
// later block holds still ends the run as it would end on the whole text, with nothing written,
// and a result is the one the decoded text gives, from a file or from a pipe.
TEST(Cli, TheFilterReadsItsInputABlockOfLinesAtATime) {
    std::string lines;
    while (lines.size() < 600'000)
        lines += "item 行\r\nother\r\n";
    const std::string longLine(700'000, 'x');
    const std::string notUtf8 = "kivoautofill-cli: standard input is not valid UTF-8\n";
    const struct {
        std::string input;
        int status;
        std::string err = {};
    } rows[] = {
        {lines + "last item", 0},
        {lines + "item\r\n\r\nend", 1, "information: 改行の連続があります。\n"},
        {lines + "\n", 1, "information: 改行の連続があります。\n"},
        {lines + "\xff", 2, notUtf8},
        {lines + "\xe3\x81", 2, notUtf8},
        {longLine + "item\nb\n" + longLine + "\n", 0},
        {std::string((std::size_t{1} << 18) - 5, 'a') + "item\n\n", 1,
         "information: 改行の連続があります。\n"},
        {lines + "mixed\rbreaks\nitem\r", 0},
        {std::string(300'000, 'a') + "\nb\n" + std::string(300'000, 'c'), 1,
         "information: 条件を満たす行はありませんでした。\n"},
    };
    const std::vector<std::string> args = {"12", "Text13=item"};
    for (const auto& row : rows) {
        const CliRun r = cli(args, row.input);
        EXPECT_EQ(r.status, row.status) << row.input.substr(row.input.size() - 20);
        EXPECT_EQ(r.err, row.err);
        if (row.status != 0) {
            EXPECT_EQ(r.out, "");
            continue;
        }
        std::vector<std::string> decoded = args;
        decoded.push_back("--encoding=auto");
        EXPECT_EQ(r.out, cli(decoded, row.input).out);
        test::PipeBuf pipe(row.input, 4096);
        std::istream in(&pipe);
        std::ostringstream out, err;
        EXPECT_EQ(runCli(args, in, out, err), 0);
        EXPECT_EQ(out.str(), r.out);
    }
}

TEST(CliExecutable, EndToEnd) {
    const std::string cmd = std::string("printf 'a1\\r\\na2\\r\\na3' | ") + KIVO_CLI_PATH +
                            " 0 Combo41=数行おきにリバースする Combo42=1";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 256> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        out.append(buf.data(), n);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(out, "1a\r\na2\r\n3a");
}

TEST(CliExecutable, ReadsAFileOnStandardInput) {
    const std::string path = testing::TempDir() + "cli_file_input.txt";
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("ab\ncd", f);
        std::fclose(f);
    }
    const std::string cmd = std::string(KIVO_CLI_PATH) + " 0 < " + path;
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 256> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        out.append(buf.data(), n);
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 0);
    EXPECT_EQ(out, "dc\nba");
    std::remove(path.c_str());
}

TEST(CliExecutable, StatusOneWhenTheRunWritesNothing) {
    const std::string cmd = std::string("printf 'a\\r\\n\\r\\nb' | ") + KIVO_CLI_PATH +
                            " 0 Combo41=数行おきにリバースする 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 1);
}

// What a command line writes to a terminal (standard input, output and error) that is typed
// "abc", Return and Ctrl+D into after a second: the progress line shows only after half a second.
std::string onTerminal(std::string command) {
    command.replace(command.find("$CLI"), 4, KIVO_CLI_PATH);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0) return "(no terminal)";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    (void)::write(terminal, "abc\n\x04", 5);
    std::string shown;
    std::array<char, 4096> buf{};
    pollfd ready{terminal, POLLIN, 0};
    while (::poll(&ready, 1, 10000) > 0) {
        const ssize_t n = ::read(terminal, buf.data(), buf.size());
        if (n <= 0) break;  // EIO once the program has ended
        shown.append(buf.data(), static_cast<std::size_t>(n));
    }
    ::close(terminal);
    ::waitpid(pid, nullptr, 0);
    return shown;
}

TEST(CliExecutable, ProgressOnATerminalOnlyWhileNothingIsTyped) {
    const struct {
        const char* command;
        bool progress;
    } rows[] = {
        // Long enough past the line's half second for a program slow to start (sanitizers, load).
        {"(sleep 3; echo abc) | $CLI 0", true},
        {"$CLI 0", false},
    };
    for (const auto& row : rows) {
        const std::string shown = onTerminal(row.command);
        EXPECT_NE(shown.find("cba"), std::string::npos) << row.command << ": " << shown;
        EXPECT_EQ(shown.find("0/1 text") != std::string::npos, row.progress) << row.command << ": " << shown;
    }
}

}  // namespace
}  // namespace kivo
