#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "text/lines.h"
#include "text/text_encoding.h"
#include "text/text_files.h"

class QMenu;

namespace kivo::window {

/// The encoding the user asks a file to be read in: detected, or named.
enum class OpenEncoding { Auto, Cp932, Utf8, Utf16Le, Utf16Be, EucJp };

/// decodeTextFile() of the core with the encoding the dialog names; `betweenBlocks` runs between
/// the blocks of a large file, to let the window's events through.
std::optional<OpenedText> decodeTextFile(std::string_view bytes, OpenEncoding encoding = OpenEncoding::Auto,
                                         const std::function<void()>& betweenBlocks = {});

/// The file a pane's text came from or went to last, the format it was in, whether its encoding
/// was a guess among several that read it alike well, and whether the text lost some of the file's
/// bytes on the way in (saving it over the file would lose them there too).
struct PaneFile {
    QString path;
    std::optional<FileFormat> format;
    bool guessed = false;
    bool lossy = false;
};

/// The name of an encoding as the save dialog lists it: "Shift-JIS", "UTF-8(BOM付き)", …
QString encodingCaption(TextEncoding encoding);

/// "Shift-JIS・CrLf", or "Shift-JIS（推定）・CrLf" for a guessed encoding: what the status bar shows
/// of a pane's file.
QString formatCaption(const PaneFile& file);

/// The encodings a file can be opened in again, with the names the menu shows.
const std::vector<std::pair<QString, OpenEncoding>>& reopenEncodings();

/// Lists `paths` in `menu`, each opened by `open` when chosen; the menu is greyed when there are none.
void fillRecentMenu(QMenu* menu, const QStringList& paths, const std::function<void(const QString&)>& open);

/// The folder the file dialogs start in and the files used last, newest first.
struct FileHistory {
    static constexpr qsizetype kMaxRecent = 10;
    QString folder;
    QStringList recent;

    /// `path` was opened or saved: its folder is the next dialog's, and it heads the recent files.
    void used(const QString& path);
};

/// The whole file, or nothing when it cannot be read; `betweenBlocks` runs between the blocks
/// of a large one.
std::optional<std::string> readFileBytes(const QString& path,
                                         const std::function<void()>& betweenBlocks = {});

/// Writes `bytes` as the whole file through a temporary file beside it that replaces the old one
/// only once everything was written: a failure leaves an existing file as it was.
bool writeFileBytes(const QString& path, std::string_view bytes);

}  // namespace kivo::window
