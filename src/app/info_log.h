#pragma once

#include <QString>

#include "text/lines.h"

namespace kivo::app {

/// The record of acknowledged notices in a folder (which ends with "/").
QString infoLogPath(const QString& folder);

/// The folder that keeps InfoLog.txt: the program folder where the user may write there, else the
/// user's data folder. Both end with "/".
QString infoLogFolder(const QString& programFolder, const QString& dataFolder);

struct InfoLogRead {
    bool exists = false;
    /// The file exists but could not be read, or its bytes are not code page 932.
    bool failed = false;
    /// The notices log: the file's whole content as text; empty for a missing or empty file.
    Text log;
};

/// Reads InfoLog.txt whole; a file that is no regular file or too large for a record of notices
/// is a failed read.
InfoLogRead readInfoLog(const QString& path);

/// Replaces InfoLog.txt whole with the log and one more CrLf, making its folder first when it is
/// missing. The new content goes to a temporary file that is renamed over the old one, so a crash or
/// a full disk leaves the old record intact, and a link at its name is replaced, not followed.
/// False when it could not be written.
bool writeInfoLog(const QString& path, TextView log);

}  // namespace kivo::app
