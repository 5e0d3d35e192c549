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
    waitpid(pid, &wstatus, 0);
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
    EXPECT_EQ(e.err, c.errLine) << describe(e);
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
    const std::string tooLarge = "kivoautofill-cli: standard input is too large for the memory available\n";
    const Limits cap{2 * kGiB, std::nullopt};
    const Case cases[] = {
        {"1 GB from a pipe", "head -c 1000000000 /dev/zero | $CLI 0", cap, 1, tooLarge},
        {"1 GB from a pipe, bytes taken as they are", "head -c 1000000000 /dev/zero | $CLI 2", cap, 1,
         tooLarge},
        {"1 GB from a pipe, code page 932", "head -c 1000000000 /dev/zero | $CLI 0 --encoding=cp932", cap, 1,
         tooLarge},
        {"endless device, bytes taken as they are", "$CLI 2 < /dev/zero", cap, 1, tooLarge},
        {"sparse 1 GB file", "$CLI 0 < \"$BIG\"", cap, 1, tooLarge},
    };
    const std::string big = testing::TempDir() + "hostile_cli_sparse";
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
        {"no result: nothing to lose",
         "printf 'a\\r\\n\\r\\nb' | $CLI 0 Combo41=数行おきにリバースする > /dev/full",
         {},
         1,
         "information: 改行の連続があります。\n"},
    };
    for (const Case& c : cases)
        expectEnds(c);
}

// Past the file-size limit the write fails with EFBIG instead of SIGXFSZ ending the process.
TEST(HostileCli, FileSizeLimit) {
    const std::string out = testing::TempDir() + "hostile_cli_output";
    const std::string tooLarge = "kivoautofill-cli: cannot write standard output: File too large\n";
    const Limits limit{std::nullopt, rlim_t{1} << 20};
    const Case cases[] = {
        {"3 MB", "head -c 3000000 /dev/zero | tr '\\0' a | $CLI 0 > " + out, limit, 1, tooLarge},
        {"3 MB, bytes written as they are",
         "head -c 3000000 /dev/zero | tr '\\0' a | $CLI 2 'Combo40=Tab(タブ)' > " + out, limit, 1, tooLarge},
        {"1 KB", "echo abc | $CLI 0 > " + out, limit, 0, ""},
    };
    for (const Case& c : cases)
        expectEnds(c);
    std::remove(out.c_str());
}

}  // namespace
