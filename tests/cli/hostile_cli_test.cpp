// The command line run as a process on hostile input, output and limits: every run ends with exit
// 0, 1 or 2, never a signal, and with a message on standard error whenever it does not end in 0.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

constexpr rlim_t kGiB = rlim_t{1} << 30;

struct Limits {
    std::optional<rlim_t> addressSpace;
    std::optional<rlim_t> fileSize;
};

struct Ended {
    bool exited = false;
    int status = -1;  // the exit status, or the signal that ended the process
    std::string out, err;
    double seconds = 0;
    long peakMegabytes = 0;  // the most memory the command line (or any process of the run) held
};

void setLimit(int resource, const std::optional<rlim_t>& value) {
    if (!value) return;
    const rlimit limit{*value, *value};
    if (setrlimit(resource, &limit) != 0) _exit(120);
}

// Runs `command` with /bin/sh, `$CLI` standing for the command line, under `limits`; standard
// output and error are collected. A run past `timeoutSeconds` is killed.
Ended runShell(std::string command, const Limits& limits, int timeoutSeconds = 30) {
    for (std::size_t at; (at = command.find("$CLI")) != std::string::npos;)
        command.replace(at, 4, KIVO_CLI_PATH);
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setLimit(RLIMIT_AS, limits.addressSpace);
        setLimit(RLIMIT_FSIZE, limits.fileSize);
        // An ignored signal stays ignored across exec: the program must ignore it by itself.
        signal(SIGXFSZ, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    Ended ended;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&ended.out, &ended.err};
    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    for (int open = 2; open > 0;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(fds, 2, static_cast<int>(left.count())) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buf[65536];
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                // Only the start of a large output is kept: the checks look at its length.
                if (sinks[i]->size() < (1u << 20)) sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) close(p.fd);
    int wstatus = 0;
    rusage usage{};
    wait4(pid, &wstatus, 0, &usage);
    ended.peakMegabytes = usage.ru_maxrss / 1024;
    ended.exited = WIFEXITED(wstatus);
    ended.status = ended.exited ? WEXITSTATUS(wstatus) : WTERMSIG(wstatus);
    ended.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ended;
}

std::string describe(const Ended& e) {
    return (e.exited ? "exit " : "signal ") + std::to_string(e.status) + " after " +
           std::to_string(e.seconds) + " s, standard error: " + e.err.substr(0, 300);
}

struct Case {
    const char* name;
    std::string command;
    Limits limits;
    int status;
    std::string errLine;  // the whole of standard error
};

void expectEnds(const Case& c) {
    const Ended e = runShell(c.command, c.limits);
    SCOPED_TRACE(std::string(c.name) + ": " + c.command);
    ASSERT_TRUE(e.exited) << describe(e);
    EXPECT_EQ(e.status, c.status) << describe(e);
    // "…" stands for sizes that depend on the machine.
    const std::size_t any = c.errLine.find("…");
    if (any == std::string::npos) {
        EXPECT_EQ(e.err, c.errLine) << describe(e);
    } else {
        EXPECT_TRUE(e.err.starts_with(c.errLine.substr(0, any)) &&
                    e.err.ends_with(c.errLine.substr(any + std::string("…").size())))
            << describe(e);
    }
}

bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

TEST(HostileCli, UnreadableInputIsAUsageError) {
    const Case cases[] = {
        {"standard input closed",
         "$CLI 0 <&-",
         {},
         2,
         "kivoautofill-cli: cannot read standard input: Bad file descriptor\n"},
        {"a directory",
         "$CLI 0 < /tmp",
         {},
         2,
         "kivoautofill-cli: cannot read standard input: Is a directory\n"},
        {"a directory, UTF-8 bytes taken as they are",
         "$CLI 2 < /tmp",
         {},
         2,
         "kivoautofill-cli: cannot read standard input: Is a directory\n"},
        {"a directory, code page 932",
         "$CLI 0 --encoding=cp932 < /tmp",
         {},
         2,
         "kivoautofill-cli: cannot read standard input: Is a directory\n"},
    };
    for (const Case& c : cases)
        expectEnds(c);
}

// An input larger than the memory the process may take is refused while it is read, before the
// address space runs out, from a file, a pipe or an endless device.
TEST(HostileCli, InputLargerThanMemoryIsRefusedQuickly) {
    if (sanitized())
        GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space cap fits";
    const std::string tooLarge =
        "kivoautofill-cli: standard input is too large for the memory available: it takes …MB that can be "
        "held\n";
    const std::string tooLargeFile =
        "kivoautofill-cli: standard input is too large for the memory available: it takes about 954 MB, … MB "
        "can "
        "be held\n";
    const Limits cap{2 * kGiB, std::nullopt};
    const Limits smallCap{kGiB / 2, std::nullopt};
    const Case cases[] = {
        {"1 GB from a pipe", "head -c 1000000000 /dev/zero | $CLI 0", cap, 1, tooLarge},
        {"1 GB from a pipe, bytes taken as they are", "head -c 1000000000 /dev/zero | $CLI 2", cap, 1,
         tooLarge},
        {"1 GB from a pipe, code page 932", "head -c 1000000000 /dev/zero | $CLI 0 --encoding=cp932", cap, 1,
         tooLarge},
        {"endless device, bytes taken as they are", "$CLI 2 < /dev/zero", cap, 1, tooLarge},
        {"sparse 1 GB file", "$CLI 0 < \"$BIG\"", cap, 1, tooLargeFile},
        // The line filter reads a block of lines at a time: one endless line is refused as it
        // grows, and kept lines go to a temporary file, not memory.
        {"endless line, filtered", "$CLI 12 Text13=a < /dev/zero", smallCap, 1, tooLarge},
        {"many kept lines",
         "test \"$(yes item | head -c 200000000 | $CLI 12 Text13=item | wc -c)\" = 200000000", smallCap, 0,
         ""},
    };
    const std::string big = testing::TempDir() + "hostile_cli_sparse_" + std::to_string(::getpid());
    std::ofstream(big).close();
    ASSERT_EQ(truncate(big.c_str(), 1000000000), 0);
    for (Case c : cases) {
        if (const auto at = c.command.find("$BIG"); at != std::string::npos) c.command.replace(at, 4, big);
        expectEnds(c);
    }
    std::remove(big.c_str());
}

// A result that cannot be written wholly is a failure with the reason, never exit 0.
TEST(HostileCli, OutputThatCannotBeWrittenFails) {
    const std::string full = "kivoautofill-cli: cannot write standard output: No space left on device\n";
    const std::string closed = "kivoautofill-cli: cannot write standard output: Bad file descriptor\n";
    const Case cases[] = {
        {"a full device", "echo abc | $CLI 0 > /dev/full", {}, 1, full},
        {"a full device, bytes written as they are",
         "echo abc | $CLI 2 'Combo40=Tab(タブ)' > /dev/full",
         {},
         1,
         full},
        {"a full device, code page 932", "echo abc | $CLI 0 --encoding=cp932 > /dev/full", {}, 1, full},
        {"a full device, 3 MB", "head -c 3000000 /dev/zero | tr '\\0' a | $CLI 0 > /dev/full", {}, 1, full},
        {"the help", "$CLI --help > /dev/full", {}, 1, full},
        {"standard output closed", "echo abc | $CLI 0 >&-", {}, 1, closed},
        {"standard output closed, the file written in place",
         "F=$(mktemp) && trap 'rm -f \"$F\"' EXIT && echo abc > \"$F\" && $CLI 0 --in-place \"$F\" >&-",
         {},
         0,
         ""},
        {"no result: nothing to lose",
         "printf 'a\\r\\n\\r\\nb' | $CLI 0 Combo41=数行おきにリバースする > /dev/full",
         {},
         1,
         "information: 改行の連続があります。\n"},
    };
    for (const Case& c : cases)
        expectEnds(c);
}

// Under a 512 MB address-space cap, --jobs takes the threads memory allows, and a file gets the
// memory it needs whatever the number of jobs: 1,000 small files and one of 20 MB.
TEST(HostileCli, JobsUnderASmallAddressSpace) {
    if (sanitized())
        GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space cap fits";
    const std::string files =
        "D=$(mktemp -d) && trap 'rm -rf \"$D\"' EXIT && cd \"$D\" && "
        "for i in $(seq 1000); do printf 'abcdefgh\\n' > f$i.txt; done && "
        "head -c 20000000 /dev/zero | tr '\\0' a > big.txt && $CLI reverse --in-place ";
    const std::string reversed = " *.txt && printf '\\nhgfedcba' | cmp -s - f1000.txt";
    const Limits cap{512000000, std::nullopt};
    const Case cases[] = {
        {"8 jobs", files + "--jobs=8" + reversed, cap, 0, ""},
        {"1000 jobs", files + "--jobs=1000" + reversed, cap, 0, ""},
    };
    for (const Case& c : cases)
        expectEnds(c);
}

// Past the file-size limit the write fails with EFBIG instead of SIGXFSZ ending the process.
TEST(HostileCli, FileSizeLimit) {
    const std::string out = testing::TempDir() + "hostile_cli_output_" + std::to_string(::getpid());
    const std::string tooLarge = "kivoautofill-cli: cannot write standard output: File too large\n";
    const Limits limit{std::nullopt, rlim_t{1} << 20};
    const Case cases[] = {
        {"3 MB", "head -c 3000000 /dev/zero | tr '\\0' a | $CLI 0 > " + out, limit, 1, tooLarge},
        {"3 MB, a block at a time",
         "head -c 3000000 /dev/zero | tr '\\0' a | $CLI 2 'Combo40=Tab(タブ)' > " + out, limit, 1, tooLarge},
        // Held back in a file when standard output is a pipe, whose bytes cannot be taken back.
        {"3 MB, held back",
         "head -c 3000000 /dev/zero | tr '\\0' a | { $CLI 2 'Combo40=Tab(タブ)'; echo $? > " + out +
             ".status; } | cat > " + out + "; exit $(cat " + out + ".status)",
         limit, 1, "kivoautofill-cli: cannot hold the result back: File too large\n"},
        {"1 KB", "echo abc | $CLI 0 > " + out, limit, 0, ""},
    };
    for (const Case& c : cases)
        expectEnds(c);
    std::remove(out.c_str());
    std::remove((out + ".status").c_str());
}

// Standard output to a file: what the file held before stays, and a result written before the last
// of standard input told its line breaks gets those of the whole input.
TEST(HostileCli, StandardOutputToAFile) {
    const std::string file = "F=$(mktemp) && trap 'rm -f \"$F\"' EXIT && ";
    const std::string lines = "seq 100000 | sed 's/^/i/'";  // 700 KB, several blocks
    const std::string crlfLines = lines + " | sed 's/$/\\r/'";
    const std::string run = " | $CLI filter-lines --text=i";
    const Case cases[] = {
        {"Lf throughout", file + lines + run + " > \"$F\" && " + lines + " | cmp -s - \"$F\"", {}, 0, ""},
        {"Lf, then a CrLf",
         file + "{ " + lines + "; printf 'ix\\r\\n'; }" + run + " > \"$F\" && { " + crlfLines +
             "; printf 'ix\\r\\n'; } | cmp -s - \"$F\"",
         {},
         0,
         ""},
        {"Cr, then an Lf",
         file + "{ " + lines + " | tr '\\n' '\\r'; printf 'ix\\n'; }" + run + " > \"$F\" && { " + crlfLines +
             "; printf 'ix\\r\\n'; } | cmp -s - \"$F\"",
         {},
         0,
         ""},
        {"appended, Lf then a CrLf",
         file + "echo kept > \"$F\" && { " + lines + "; printf 'ix\\r\\n'; }" + run +
             " >> \"$F\" && { echo kept; " + crlfLines + "; printf 'ix\\r\\n'; } | cmp -s - \"$F\"",
         {},
         0,
         ""},
        {"appended, nothing found",
         file + "echo kept > \"$F\" && " + lines +
             " | $CLI filter-lines --text=x >> \"$F\"; s=$?; echo kept | cmp -s - \"$F\" || s=9; exit $s",
         {},
         1,
         "information: 条件を満たす行はありませんでした。\n"},
    };
    for (const Case& c : cases)
        expectEnds(c);
}

// The inputs of the operation battery, made once: mixed lines, lines of digits, many short lines
// and one line.
class OperationInputs {
public:
    OperationInputs() {
        std::string mixed, digits, shortLines;
        for (int i = 0; i < 20000; ++i) {
            mixed += "ab" + std::to_string(i) + " -3.5 cd+45\t6 ７８９ｚ xyz 2024/01/31 No." +
                     std::to_string(i) + "\r\n";
            digits += "1234567890\r\n";
        }
        for (int i = 0; i < 168000; ++i)
            shortLines += "ab\r\n";
        write("mixed", mixed);
        write("digits", digits);
        write("short", shortLines);
        write("one", "No.1");
    }
    ~OperationInputs() {
        for (const char* name : {"mixed", "digits", "short", "one"})
            std::remove(path(name).c_str());
    }
    // The tests run as processes side by side: each keeps its own inputs.
    static std::string path(const std::string& name) {
        return testing::TempDir() + "hostile_cli_" + std::to_string(::getpid()) + "_" + name;
    }

private:
    static void write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name)) << bytes;
    }
};

struct OperationCase {
    int code;
    const char* input;  // one of OperationInputs
    std::string args;   // "$X" stands for 65,535 characters, the most a text box holds
};

std::string operationCommand(const OperationCase& c) {
    return "X=$(printf '%65535s' '' | tr ' ' x); $CLI " + std::to_string(c.code) + " " + c.args + " < " +
           OperationInputs::path(c.input);
}

// Every operation with its largest parameters under a 2 GB address-space cap: whatever it makes
// of them, it ends with exit 0, or with 1 or 2 and a message, and writes nothing when it fails.
TEST(HostileCli, EveryOperationAtItsLargestUnderA2GbCap) {
    if (sanitized())
        GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space cap fits";
    const OperationInputs inputs;
    const OperationCase cases[] = {
        {0, "mixed", "'Combo41=数行おきにリバースする' Combo42=999"},
        {1, "mixed",
         "'Combo39=バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)'"},
        {2, "mixed", "'Combo40=Tab(タブ)' \"Text26=$X\""},
        {3, "mixed", "'Combo19=全角英大文字「Ａ～Ｚ」'"},
        {4, "short", "Combo31=右 \"Text3=$X\""},
        {5, "digits", "\"Text4=$X\""},
        {6, "digits", "Combo1=1 Combo32=右 \"Text5=$X\""},
        {7, "mixed", "Text7=1 Combo2=右 Combo33=右側 \"Text8=$X\""},
        {8, "mixed", ""},
        {9, "mixed", ""},
        {10, "mixed", ""},
        {11, "mixed", ""},
        {12, "mixed", "'Combo47=次の文字を含まない行を抜き出す' \"Text13=$X\""},
        {13, "mixed", ""},
        {14, "mixed", "Text11=999999999"},
        {15, "mixed", "--answer=no"},
        {16, "mixed", "Combo38=偶数 \"Text12=$X\""},
        {17, "mixed", "Combo3=1 Combo4=右 \"Text14=$X\""},
        {18, "mixed", "Combo5=1"},
        {19, "mixed", "Text16=x Text17=b \"Text18=$X\""},
        {20, "mixed", "'Combo43=右から見つけた最初の' Text19=a Text20=b \"Text21=$X\""},
        {21, "mixed", "Combo18=右 Combo6=999 Combo7=999 \"Text34=$X\""},
        {22, "mixed", "Combo8=999 Combo9=999"},
        {23, "mixed", "Combo10=999 Combo11=999"},
        {24, "mixed", "Combo16=右 Combo12=999 Combo13=999"},
        {25, "mixed", "Combo17=右 Combo14=999 Combo15=999"},
        {26, "mixed", "Text6=9999999999 'Check1(0)=1' 'ComboStep(0)=999' 'ComboFm(0)=0000000000000000'"},
        {27, "mixed", "Combo20=降順でソートする"},
        {28, "mixed",
         "Combo21=999 Combo22=デクリメント Combo23=999 Combo24=右 Combo25=0000000000000000 Combo26=999 "
         "Combo27=999 Text38=999999999"},
        {29, "one", "Combo28=デクリメント Combo30=右 Combo35=999 Combo36=0000000000000000 Text41=715000000"},
        {30, "mixed", "Combo48=右 Combo49=1 Combo50=右 Text15=ab \"Text22=$X\""},
        {31, "mixed", "Combo51=デクリメント Combo52=年 Text23=999999999 Text24=999999999"},
        {32, "one", "Text27=2000000"},
        {33, "one", "Text28=2000000 Combo54=土 Combo57=100"},
        {34, "one", "Text29=2000000 Combo55=土 Combo56=100"},
        {35, "mixed", ""},
        {36, "mixed", ""},
        {37, "mixed", ""},
        {38, "mixed", ""},
        {39, "mixed", ""},
        {40, "mixed", ""},
        {41, "mixed", "Combo65=1"},
        {41, "mixed", "Combo65=1 'Check5(5)=1'"},
        {42, "mixed", "'Combo66=和暦(令和6年1月31日)' 'Check6(0)=1'"},
        {43, "one", "Combo67=999 Combo68=営業日分 'Check6(1)=1' 'Check6(3)=1'"},
        {44, "mixed", "Combo70=標準の文字に置き換える"},
        {45, "digits", "'Combo71=数字→漢数字(二千二十四)'"},
        {46, "mixed", "Text42=1-1000000"},
        {47, "mixed", "Text44=2 Combo74=自然順 Combo75=降順"},
        {48, "mixed", "Text46=2"},
        {49, "mixed", "Text48=タブ"},
        {50, "mixed", "'Text50=.' \"Text51=$X\""},
        {51, "mixed", "'Text52=.' 'Combo81=一致した部分を抜き出す' 'Combo82=テキスト全体'"},
        {52, "mixed", "\"Text53=.$(printf '\\t')$X\""},
    };
    for (const OperationCase& c : cases) {
        const std::string command = operationCommand(c);
        SCOPED_TRACE(command.substr(command.find("$CLI")));
        const Ended e = runShell(command, {2 * kGiB, std::nullopt});
        ASSERT_TRUE(e.exited) << describe(e);
        EXPECT_LE(e.status, 2) << describe(e);
        if (e.status != 0) {
            EXPECT_NE(e.err, "") << describe(e);
            EXPECT_EQ(e.out, "") << describe(e);
        }
    }
}

// A result many times its input is refused by its computed length before it is built, with the
// memory it would take and the memory there is, and without taking it.
const OperationCase kMultiplying[] = {
    {4, "short", "Combo31=右 \"Text3=$X\""},  // 168,000 lines × 65,535: 22 GB
    {5, "digits", "\"Text4=$X\""},            // 200,000 digits × 65,535
    {6, "digits", "Combo1=1 Combo32=右 \"Text5=$X\""},
    {7, "mixed", "Text7=1 Combo2=右 Combo33=右側 \"Text8=$X\""},
    {16, "mixed", "Combo38=偶数 \"Text12=$X\""},
    {17, "mixed", "Combo3=1 Combo4=右 \"Text14=$X\""},
    {29, "one", "Text41=715000000 Combo35=999"},  // about 10 G characters
    {30, "mixed", "Combo48=右 Combo49=1 Combo50=右 Text15=ab \"Text22=$X\""},
};

TEST(HostileCli, ResultsThatMultiplyAreRefusedBeforeTheyAreBuilt) {
    if (sanitized())
        GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space cap fits";
    const OperationInputs inputs;
    for (const OperationCase& c : kMultiplying) {
        const std::string command = operationCommand(c);
        SCOPED_TRACE(command.substr(command.find("$CLI")));
        const Ended e = runShell(command, {2 * kGiB, std::nullopt});
        ASSERT_TRUE(e.exited) << describe(e);
        EXPECT_EQ(e.status, 1) << describe(e);
        EXPECT_EQ(e.err.rfind("kivoautofill-cli: the result would take about ", 0), 0u) << describe(e);
        EXPECT_NE(e.err.find(" MB available\n"), std::string::npos) << describe(e);
        EXPECT_LT(e.peakMegabytes, 256) << describe(e);
    }
}

}  // namespace
