#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/lines.h"
#include "text/text_encoding.h"

// Text files as the window opens and saves them (the browser edition too): the encoding and the
// line break a file came in, and the bytes a text is saved as.
namespace kivo {

/// The line break a file is written with.
enum class LineBreak { CrLf, Lf };

/// How a pane's text is written to a file: its encoding (in code page 932 and EUC-JP a character
/// without a form becomes "?"), each line break as CrLf or as Lf.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineBreak lineBreak = LineBreak::CrLf;
    bool operator==(const FileFormat&) const = default;
};

/// A file's text and the format to write it back in; `guessed` when more than one encoding read
/// the bytes alike well (see decodeTextBytes); `lossy` when some bytes had no character in the
/// encoding named, or would be written back as others, so that saving the text over the file
/// would lose them.
struct OpenedText {
    Text text;
    FileFormat format;
    bool guessed = false;
    bool lossy = false;
};

/// The text of a file's bytes and the format they came in: in the encoding named, any bytes, each
/// one without a character as U+FFFD; or detected (none named), only in an encoding that gives them
/// back unchanged, ASCII and a guess as code page 932 (decodeTextBytes), nothing when none does. The
/// line break is the one most of the file's lines end with. `betweenBlocks` runs between the blocks
/// of a large file.
std::optional<OpenedText> decodeTextFile(std::string_view bytes, std::optional<TextEncoding> named,
                                         const std::function<void()>& betweenBlocks = {});

/// Lf when more lines of `text` end with a lone Lf than with CrLf, else CrLf.
LineBreak lineBreakOf(TextView text);

/// The bytes of a saved pane in `format`: its text with each CrLf and lone Lf as the format's line
/// break (a lone Cr is a character some operations write, and stays), followed by one line break
/// unless it already ends with one (so that saving what was opened does not grow the file).
std::string encodeTextFile(TextView text, const FileFormat& format);

}  // namespace kivo
