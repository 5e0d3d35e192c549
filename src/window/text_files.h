#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "text/lines.h"

namespace kivo::window {

/// How a text file is written.
enum class FileEncoding {
    Cp932,  // code page 932; a character without a form becomes "?"
    Utf8,   // UTF-8 with a byte-order mark
};

/// The text of a file's bytes, in the encoding the core's rule detects (code page 932 unless the
/// bytes are clearly UTF-8), as every front end reads files. `betweenBlocks` runs between the
/// blocks of a large file, to let the window's events through.
Text decodeTextFile(std::string_view bytes, const std::function<void()>& betweenBlocks = {});

/// Whether every character of `text` has a code page 932 form, so that saving it in code page 932
/// loses nothing.
bool fitsCodePage932(TextView text);

/// The bytes of a saved pane: its text, followed by CrLf unless it already ends with a line
/// break (so that saving what was opened does not grow the file), in `encoding`.
std::string encodeTextFile(TextView text, FileEncoding encoding);

/// The whole file, or nothing when it cannot be read; `betweenBlocks` runs between the blocks
/// of a large one.
std::optional<std::string> readFileBytes(const QString& path,
                                         const std::function<void()>& betweenBlocks = {});

/// Writes `bytes` as the whole file through a temporary file beside it that replaces the old one
/// only once everything was written: a failure leaves an existing file as it was.
bool writeFileBytes(const QString& path, std::string_view bytes);

}  // namespace kivo::window
