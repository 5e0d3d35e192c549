#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

#include "text/lines.h"
#include "text/text_encoding.h"

namespace kivo::window {

/// The line break a file is written with.
enum class LineBreak { CrLf, Lf };

/// How a pane's text is written to a file: code page 932 (a character without a form becomes
/// "?"), UTF-8, or UTF-8 after a byte-order mark; each line break as CrLf or as Lf.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineBreak lineBreak = LineBreak::CrLf;
    bool operator==(const FileFormat&) const = default;
};

/// The encoding the user asks a file to be read in.
enum class OpenEncoding { Auto, Cp932, Utf8 };

/// A file's text and the format to write it back in.
struct OpenedText {
    Text text;
    FileFormat format;
};

/// The text of a file's bytes and the format they came in. `Auto` takes the encoding the core's
/// rule detects (code page 932 unless the bytes are clearly UTF-8), as every front end reads
/// files; the line break is the one most of the file's lines end with. `betweenBlocks` runs
/// between the blocks of a large file, to let the window's events through.
OpenedText decodeTextFile(std::string_view bytes, OpenEncoding encoding = OpenEncoding::Auto,
                          const std::function<void()>& betweenBlocks = {});

/// Lf when more lines of `text` end with a lone Lf than with CrLf, else CrLf.
LineBreak lineBreakOf(TextView text);

/// Whether every character of `text` has a code page 932 form, so that saving it in code page 932
/// loses nothing.
bool fitsCodePage932(TextView text);

/// The bytes of a saved pane in `format`: its text with each CrLf and lone Lf as the format's line
/// break (a lone Cr is a character some operations write, and stays), followed by one line break
/// unless it already ends with one (so that saving what was opened does not grow the file).
std::string encodeTextFile(TextView text, const FileFormat& format);

/// The file a pane's text came from or went to last, and the format it was in.
struct PaneFile {
    QString path;
    std::optional<FileFormat> format;
};

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
