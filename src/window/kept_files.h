#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include <QString>

namespace kivo::window {

/// What became of reading one of the files the program keeps for itself (the session, the
/// notices record).
enum class KeptRead {
    Missing,  // no such file (a link to nothing counts as none)
    Read,     // read whole
    // There, but not a regular file, not readable, larger than allowed or changed while read:
    // whatever it holds must not be replaced by what the program makes of nothing.
    Unreadable,
};

/// Reads the regular file `path` whole when it holds at most `maxBytes` bytes, into the buffer that
/// `buffer` gives for its size. Never blocks on a FIFO nor reads a device.
KeptRead readKeptFile(const QString& path, std::uint64_t maxBytes,
                      const std::function<char*(std::size_t)>& buffer);

/// How a kept file that is written may be read.
enum class KeptAccess {
    OwnerOnly,  // the owner only, whatever the file had
    AsItWas,    // as the file it replaces had it; a new file as the umask allows
};

/// Replaces `path` whole with `bytes`: they go to a new file beside it that is renamed over it once
/// everything was written, so a failure leaves the old file as it was. A symbolic link at `path`
/// is replaced, never written through.
bool writeKeptFile(const QString& path, std::string_view bytes, KeptAccess access);

/// Renames the file `path` (whatever it is: a folder, a FIFO, a link) to a name beside it that
/// says why it was set aside and when, without replacing anything. The new path, or an empty one
/// when it could not be renamed.
QString setKeptFileAside(const QString& path);

}  // namespace kivo::window
