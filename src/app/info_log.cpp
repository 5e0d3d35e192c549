#include "app/info_log.h"

#include <QDir>
#include <QFileInfo>

#include "app/notices.h"
#include "text/cp932.h"
#include "window/text_files.h"

namespace kivo::app {

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
    const QFileInfo info(path);
    result.exists = info.exists();
    if (!result.exists || (info.isFile() && info.size() == 0)) return result;
    const std::optional<std::string> bytes = window::readFileBytes(path);
    // A log that is not code page 932 is a failed read rather than a lossy one: the log is
    // written back whole, and replacement characters would overwrite what the file held.
    std::optional<Text> log = bytes ? cp932::decode(*bytes) : std::nullopt;
    if (!log) {
        result.failed = true;
        return result;
    }
    result.log = std::move(*log);
    return result;
}

bool writeInfoLog(const QString& path, TextView log) {
    // The data folder does not exist before the first record the program keeps there.
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    return window::writeFileBytes(path, infoLogBytes(log));
}

}  // namespace kivo::app
