#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kivo::memory {

/// The longest text, in UTF-16 units, that a text pane holds. The editor counts positions in 32
/// bits; a text of 1.1 G units was shown, scrolled to its end and painted (8.6 GB at the peak),
/// and this bound keeps every sum of two positions inside 32 bits. Memory usually ends a text
/// far sooner: see resultBytes().
inline constexpr std::size_t kPaneMaxLength = std::size_t{1} << 30;

/// The bytes kept back from a result's budget whatever is available: the program's own working
/// memory (the window's widgets and buffers, the allocator's slack).
inline constexpr std::uint64_t kReserveBytes = std::uint64_t{64} << 20;

/// What bounds the memory this process can still take, in bytes; each is empty where there is no
/// such bound or it cannot be read.
struct MemoryFigures {
    /// The machine's installed memory.
    std::optional<std::uint64_t> physical;
    /// The memory the kernel can hand out without swapping out what runs (MemAvailable, plus free
    /// swap), or under strict overcommit what is left to commit.
    std::optional<std::uint64_t> available;
    /// The address-space limit (RLIMIT_AS) less what the process already maps.
    std::optional<std::uint64_t> addressSpaceLeft;
    /// The control group's memory limit less its usage.
    std::optional<std::uint64_t> groupLeft;
};

/// The figures of this process on this machine now.
MemoryFigures currentFigures();

/// The least of the figures: what the process can still allocate (the largest value when there
/// is no figure at all).
std::uint64_t availableBytes(const MemoryFigures& figures);

/// The bytes a result, and whatever is built from it, may take: what is available less a
/// reserve for the rest of the program (kReserveBytes and an eighth of the rest).
std::uint64_t resultBytes(const MemoryFigures& figures);
/// resultBytes() of the figures now.
std::uint64_t resultBytes();

/// The longest result, in UTF-16 units, when each unit costs `bytesPerUnit` bytes in all (its two
/// bytes and whatever is built from it): `budgetBytes` shared out, never above kPaneMaxLength.
std::size_t maxResultLength(std::uint64_t budgetBytes, std::uint64_t bytesPerUnit);

namespace detail {

/// `available` of the text of /proc/meminfo: MemAvailable plus SwapFree, or CommitLimit less
/// Committed_AS when `strictOvercommit` (whichever is less); nothing without MemAvailable.
std::optional<std::uint64_t> availableFromMeminfo(std::string_view meminfo, bool strictOvercommit);

/// A control group's limit less its usage, from the texts of its limit and usage files
/// ("max", or a huge value, for no limit); nothing when unlimited or unreadable.
std::optional<std::uint64_t> groupLeft(std::string_view limit, std::string_view usage);

}  // namespace detail

}  // namespace kivo::memory
