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

namespace kivo::window {

/// The line break a file is written with.
enum class LineBreak { CrLf, Lf };

/// How a pane's text is written to a file: its encoding (in code page 932 and EUC-JP a character
/// without a form becomes "?"), each line break as CrLf or as Lf.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineBreak lineBreak = LineBreak::CrLf;
    bool operator==(const FileFormat&) const = default;
};

/// The encoding the user asks a file to be read in: detected, or named.
enum class OpenEncoding { Auto, Cp932, Utf8, Utf16Le, Utf16Be, EucJp };

/// A file's text and the format to write it back in; `guessed` when more than one encoding read
/// the bytes alike well (see decodeTextBytes).
struct OpenedText {
    Text text;
    FileFormat format;
    bool guessed = false;
};

/// The text of a file's bytes and the format they came in. `Auto` reads them only in an encoding
/// that gives them back unchanged, ASCII and a guess as code page 932 (decodeTextBytes), and gives
/// nothing when none does; a named encoding reads any bytes, each one without a character as
/// U+FFFD. The line break is the one most of the file's lines end with. `betweenBlocks` runs between
/// the blocks of a large file, to let the window's events through.
std::optional<OpenedText> decodeTextFile(std::string_view bytes, OpenEncoding encoding = OpenEncoding::Auto,
                                         const std::function<void()>& betweenBlocks = {});

/// Lf when more lines of `text` end with a lone Lf than with CrLf, else CrLf.
LineBreak lineBreakOf(TextView text);

/// The bytes of a saved pane in `format`: its text with each CrLf and lone Lf as the format's line
/// break (a lone Cr is a character some operations write, and stays), followed by one line break
/// unless it already ends with one (so that saving what was opened does not grow the file).
std::string encodeTextFile(TextView text, const FileFormat& format);

/// The file a pane's text came from or went to last, the format it was in, and whether its
/// encoding was a guess among several that read it alike well.
struct PaneFile {
    QString path;
    std::optional<FileFormat> format;
    bool guessed = false;
};

/// The name of an encoding as the save dialog lists it: "Shift-JIS", "UTF-8(BOM付き)", …
QString encodingCaption(TextEncoding encoding);

/// "Shift-JIS・CrLf", or "Shift-JIS（推定）・CrLf" for a guessed encoding: what the status bar shows
/// of a pane's file.
QString formatCaption(const PaneFile& file);

/// The encodings a file can be opened in again, with the names the menu shows.
const std::vector<std::pair<QString, OpenEncoding>>& reopenEncodings();

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
