#include "app/info_log.h"

#include <cstdint>
#include <new>
#include <string>

#include <QDir>
#include <QFileInfo>

#include "app/notices.h"
#include "text/cp932.h"
#include "window/kept_files.h"

namespace kivo::app {
namespace {

// Each notice is at most 500 characters: this holds tens of thousands of them, and a file far
// larger is no record this program wrote.
constexpr std::uint64_t kMaxLogBytes = std::uint64_t{16} << 20;

}  // namespace

QString infoLogPath(const QString& folder) {
    return folder + QStringLiteral("InfoLog.txt");
}

QString infoLogFolder(const QString& programFolder, const QString& dataFolder) {
    // Everything under /usr belongs to the package manager, even when root runs the program and
    // could write there: a record left there would outlive the package's removal.
    const bool systemFolder = programFolder.startsWith(QStringLiteral("/usr/"));
    return !systemFolder && QFileInfo(programFolder).isWritable() ? programFolder : dataFolder;
}

InfoLogRead readInfoLog(const QString& path) {
    InfoLogRead result;
    std::string bytes;
    const window::KeptRead read = window::readKeptFile(path, kMaxLogBytes, [&bytes](std::size_t size) {
        bytes.resize(size);
        return bytes.data();
    });
    result.exists = read != window::KeptRead::Missing;
    try {
        // A log that is not code page 932 is a failed read rather than a lossy one: the log is
        // written back whole, and replacement characters would overwrite what the file held.
        std::optional<Text> log = read == window::KeptRead::Read ? cp932::decode(bytes) : std::nullopt;
        result.failed = result.exists && !log;
        if (log) result.log = std::move(*log);
    } catch (const std::bad_alloc&) {
        result.failed = true;
    }
    return result;
}

bool writeInfoLog(const QString& path, TextView log) {
    // The data folder does not exist before the first record the program keeps there.
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    return window::writeKeptFile(path, infoLogBytes(log), window::KeptAccess::AsItWas);
}

}  // namespace kivo::app
