#include "app/info_log.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/notices.h"
#include "text/cp932.h"

namespace kivo::app {

QString infoLogPath(const QString& programFolder) {
    return programFolder + QStringLiteral("InfoLog.txt");
}

InfoLogRead readInfoLog(const QString& path) {
    InfoLogRead result;
    const QFileInfo info(path);
    result.exists = info.exists();
    if (!result.exists || (info.isFile() && info.size() == 0)) return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.failed = true;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.failed = true;
        return result;
    }
    // A log that is not code page 932 is a failed read rather than a lossy one: the log is
    // written back whole, and replacement characters would overwrite what the file held.
    std::optional<Text> log =
        cp932::decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!log) {
        result.failed = true;
        return result;
    }
    result.log = std::move(*log);
    return result;
}

bool writeInfoLog(const QString& path, TextView log) {
    const std::string bytes = infoLogBytes(log);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace kivo::app
