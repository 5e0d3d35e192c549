#include "text/memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace kivo::memory {
namespace {

constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
// A control group without a limit reports one near 2^63 (version 1) or "max" (version 2).
constexpr std::uint64_t kNoGroupLimit = std::uint64_t{1} << 62;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string_view trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\n");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\n") + 1 - begin);
}

std::optional<std::uint64_t> leadingNumber(std::string_view text) {
    text = trimmed(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b) {
    return a > kLargest - b ? kLargest : a + b;
}

std::uint64_t lessOrZero(std::uint64_t a, std::uint64_t b) {
    return a > b ? a - b : 0;
}

// The rest of the first line of `text` that starts with `prefix`.
std::optional<std::string_view> lineAfter(std::string_view text, std::string_view prefix) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        if (line.substr(0, prefix.size()) == prefix) return line.substr(prefix.size());
        at = end + 1;
    }
    return std::nullopt;
}

// The value of the "Key:   123 kB" line of /proc/meminfo, in bytes.
std::optional<std::uint64_t> meminfoBytes(std::string_view meminfo, std::string_view key) {
    const std::optional<std::string_view> line = lineAfter(meminfo, std::string(key) + ":");
    const std::optional<std::uint64_t> kb = line ? leadingNumber(*line) : std::nullopt;
    if (!kb) return std::nullopt;
    return *kb > kLargest / 1024 ? kLargest : *kb * 1024;
}

std::uint64_t pageSize() {
    const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

std::optional<std::uint64_t> physicalBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    if (pages <= 0) return std::nullopt;
    return static_cast<std::uint64_t>(pages) * pageSize();
}

std::optional<std::uint64_t> addressSpaceLeft() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    // The first field of statm is the size of every mapping, in pages.
    const std::optional<std::uint64_t> mappedPages = leadingNumber(readFile("/proc/self/statm"));
    return lessOrZero(limit.rlim_cur, mappedPages.value_or(0) * pageSize());
}

// The process's own group under version 2 ("0::/path" in /proc/self/cgroup), else the memory
// controller's group under version 1 as the process sees it mounted.
std::optional<std::uint64_t> controlGroupLeft() {
    const std::string groups = readFile("/proc/self/cgroup");
    if (const auto path = lineAfter(groups, "0::")) {
        const std::string folder = "/sys/fs/cgroup" + std::string(trimmed(*path));
        if (auto left =
                detail::groupLeft(readFile(folder + "/memory.max"), readFile(folder + "/memory.current")))
            return left;
    }
    return detail::groupLeft(readFile("/sys/fs/cgroup/memory/memory.limit_in_bytes"),
                             readFile("/sys/fs/cgroup/memory/memory.usage_in_bytes"));
}

}  // namespace

namespace detail {

std::optional<std::uint64_t> availableFromMeminfo(std::string_view meminfo, bool strictOvercommit) {
    const std::optional<std::uint64_t> available = meminfoBytes(meminfo, "MemAvailable");
    if (!available) return std::nullopt;
    std::uint64_t bytes = saturatingSum(*available, meminfoBytes(meminfo, "SwapFree").value_or(0));
    if (strictOvercommit) {
        const auto limit = meminfoBytes(meminfo, "CommitLimit");
        const auto committed = meminfoBytes(meminfo, "Committed_AS");
        if (limit && committed) bytes = std::min(bytes, lessOrZero(*limit, *committed));
    }
    return bytes;
}

std::optional<std::uint64_t> groupLeft(std::string_view limit, std::string_view usage) {
    const std::optional<std::uint64_t> bound = leadingNumber(limit);
    if (!bound || *bound >= kNoGroupLimit) return std::nullopt;
    return lessOrZero(*bound, leadingNumber(usage).value_or(0));
}

}  // namespace detail

MemoryFigures currentFigures() {
    MemoryFigures figures;
    figures.physical = physicalBytes();
    const bool strict = trimmed(readFile("/proc/sys/vm/overcommit_memory")) == "2";
    figures.available = detail::availableFromMeminfo(readFile("/proc/meminfo"), strict);
    figures.addressSpaceLeft = addressSpaceLeft();
    figures.groupLeft = controlGroupLeft();
    return figures;
}

std::uint64_t availableBytes(const MemoryFigures& figures) {
    std::uint64_t least = kLargest;
    for (const std::optional<std::uint64_t>& figure :
         {figures.physical, figures.available, figures.addressSpaceLeft, figures.groupLeft})
        if (figure) least = std::min(least, *figure);
    return least;
}

std::uint64_t resultBytes(const MemoryFigures& figures) {
    const std::uint64_t rest = lessOrZero(availableBytes(figures), kReserveBytes);
    return rest - rest / 8;
}

std::uint64_t resultBytes() {
    return resultBytes(currentFigures());
}

std::size_t maxResultLength(std::uint64_t budgetBytes, std::uint64_t bytesPerUnit) {
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(kPaneMaxLength, budgetBytes / std::max<std::uint64_t>(bytesPerUnit, 1)));
}

}  // namespace kivo::memory
