#include "text/memory_budget.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace kivo::memory {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(MemoryBudget, AvailableFromMeminfo) {
    const std::string meminfo =
        "MemTotal:       24683772 kB\n"
        "MemFree:        20000000 kB\n"
        "MemAvailable:    1048576 kB\n"
        "SwapFree:         524288 kB\n"
        "CommitLimit:     2097152 kB\n"
        "Committed_AS:    1835008 kB\n";
    struct Case {
        std::string meminfo;
        bool strict;
        std::optional<std::uint64_t> bytes;
    };
    const Case cases[] = {
        {meminfo, false, 1536 * kMiB},  // free swap counts
        {meminfo, true, 256 * kMiB},    // strict: what is left to commit, when less
        {"MemAvailable: 2048 kB\n", false, 2 * kMiB},
        {"MemAvailable: 2048 kB", true, 2 * kMiB},  // no commit figures: as without strictness
        {"MemFree: 2048 kB\nSwapFree: 1 kB\n", false, std::nullopt},  // a kernel before 3.14
        {"MemAvailable: lots\n", false, std::nullopt},
        {"", false, std::nullopt},
        // Not taken for MemAvailable: a longer key that starts the same.
        {"MemAvailableX: 1 kB\nMemAvailable: 3 kB\n", false, 3 * 1024},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detail::availableFromMeminfo(c.meminfo, c.strict), c.bytes) << c.meminfo;
}

TEST(MemoryBudget, GroupLeft) {
    struct Case {
        std::string limit, usage;
        std::optional<std::uint64_t> left;
    };
    const Case cases[] = {
        {"1073741824\n", "268435456\n", 768 * kMiB},
        {"max\n", "268435456\n", std::nullopt},
        {"9223372036854771712\n", "3572203520\n", std::nullopt},  // version 1 without a limit
        {"1048576\n", "2097152\n", 0},                            // over its limit already
        {"1048576\n", "", 1 * kMiB},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detail::groupLeft(c.limit, c.usage), c.left) << c.limit << " " << c.usage;
}

TEST(MemoryBudget, TheLeastFigureLessTheReserve) {
    struct Case {
        MemoryFigures figures;
        std::uint64_t available, result;
    };
    const std::uint64_t none = ~std::uint64_t{0};
    const Case cases[] = {
        {{24 * kGiB, 20 * kGiB, std::nullopt, std::nullopt}, 20 * kGiB, (20 * kGiB - 64 * kMiB) / 8 * 7},
        {{24 * kGiB, 20 * kGiB, 2 * kGiB, std::nullopt}, 2 * kGiB, (2 * kGiB - 64 * kMiB) / 8 * 7},
        {{24 * kGiB, 20 * kGiB, 2 * kGiB, 1 * kGiB}, 1 * kGiB, (1 * kGiB - 64 * kMiB) / 8 * 7},
        {{4 * kGiB, std::nullopt, std::nullopt, std::nullopt}, 4 * kGiB, (4 * kGiB - 64 * kMiB) / 8 * 7},
        {{std::nullopt, std::nullopt, 64 * kMiB, std::nullopt}, 64 * kMiB, 0},
        {{std::nullopt, std::nullopt, 0, std::nullopt}, 0, 0},
        {{}, none, none - 64 * kMiB - (none - 64 * kMiB) / 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(availableBytes(c.figures), c.available);
        EXPECT_EQ(resultBytes(c.figures), c.result);
    }
}

TEST(MemoryBudget, MaxResultLength) {
    EXPECT_EQ(maxResultLength(2 * kGiB, 2), kPaneMaxLength);
    EXPECT_EQ(maxResultLength(1 * kGiB, 8), kGiB / 8);
    EXPECT_EQ(maxResultLength(1 * kGiB, 3), kGiB / 3);
    EXPECT_EQ(maxResultLength(7, 8), 0u);
    EXPECT_EQ(maxResultLength(100, 0), 100u);
    EXPECT_EQ(maxResultLength(~std::uint64_t{0}, 1), kPaneMaxLength);
}

// Under an address-space limit the budget is what the limit leaves, and that much can really be
// allocated while a little more than the limit leaves cannot.
TEST(MemoryBudget, AddressSpaceLimitInAChildProcess) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space limit fits it";
#endif
    auto capped = [] {
        std::ifstream statm("/proc/self/statm");
        std::uint64_t mappedPages = 0;
        statm >> mappedPages;
        const rlimit limit{mappedPages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) + 512 * kMiB,
                           RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(3);
        const MemoryFigures figures = currentFigures();
        if (!figures.addressSpaceLeft || *figures.addressSpaceLeft > 512 * kMiB ||
            *figures.addressSpaceLeft < 400 * kMiB)
            std::exit(4);
        const std::uint64_t budget = resultBytes();
        if (budget > *figures.addressSpaceLeft || budget < 256 * kMiB) std::exit(5);
        void* fits = std::malloc(budget);
        void* tooMuch = std::malloc(*figures.addressSpaceLeft + 64 * kMiB);
        std::exit(fits && !tooMuch ? 0 : 6);
    };
    EXPECT_EXIT(capped(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kivo::memory
