#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "text/text_encoding.h"

namespace kivo::cli {

/// A text file's text and the encoding it was read in.
using FileText = DecodedText;

/// A file of the command line that cannot be used as asked (a directory, a device for
/// --in-place, a FIFO of /proc, …): a usage error, found before anything is read or written.
std::optional<std::string> inputFileFault(const std::string& path, bool inPlace);

/// The bytes as text: in the encoding named, or detected (ASCII as UTF-8, a guess as the window's
/// Open guesses). `what` names the input in messages ("f.txt", "standard input"). InputError when
/// the bytes are no text in the named encoding, or in any; `note` gets a line to show when the text
/// will not be written back as the same bytes (code page 932 characters with two forms).
FileText decodeInputBytes(std::string_view bytes, const EncodingChoice& encoding, const std::string& what,
                          std::string& note);

/// The text of the file at `path`, as decodeInputBytes() reads it. InputError when it cannot be
/// read, IoFailure when it takes more than `maxBytes`.
FileText readTextFile(const std::string& path, const EncodingChoice& encoding, std::uint64_t maxBytes,
                      std::string& note);

/// A file whose bytes read alike well in two encodings (`guessed`) is not rewritten on a guess:
/// InputError when the settings would write it in place or to a folder without an encoding named.
void refuseGuessedRewrite(bool guessed, TextEncoding encoding, const Settings& s, const std::string& file);

/// How a result is written: its encoding, what becomes of the CrLf the operations make, and
/// whether "?" may stand for a character the encoding cannot hold.
struct OutputForm {
    TextEncoding encoding = TextEncoding::Utf8;
    /// The line break each CrLf becomes: CrLf itself, Lf or Cr.
    std::u16string_view lineBreak = u"\r\n";
    bool questionMarks = false;
};

/// The form of a result of an input read in `input` with line breaks `inputBreaks`.
OutputForm outputFormOf(const Settings& settings, TextEncoding input, LineBreakStyle inputBreaks);

/// A result holding a character that its output encoding cannot hold, without --unmappable: it
/// cannot be written.
class UnmappableCharacter : public IoFailure {
public:
    /// `text` follows `linesBefore` lines of the result.
    UnmappableCharacter(TextView text, std::size_t index, TextEncoding encoding, std::size_t linesBefore = 0);
};

/// Each CrLf of `text` as `lineBreak` (CrLf, Lf or Cr), in place.
void changeLineBreaks(Text& text, std::u16string_view lineBreak);
void changeLineBreaks(std::string& utf8, std::u16string_view lineBreak);

/// The bytes of a result in `form`, byte-order mark first; UnmappableCharacter when it holds a
/// character the encoding cannot hold and "?" may not stand for it.
std::string resultBytes(Text result, const OutputForm& form);

/// What writing a file has to say besides success: its owner could not be kept.
using WriteNote = std::optional<std::string>;

/// Writes `bytes` as the whole file at `path`. A regular file (or one that does not exist yet,
/// through a link or not) is replaced atomically: a temporary file beside it, with the old file's
/// permissions and, where the user may, its owner and group, renamed over it once written; a failed
/// write leaves the old file as it was and ends in IoFailure naming the file and the reason. Any
/// other existing file (a device, a FIFO, /dev/stdout) is written into.
WriteNote writeFile(const std::string& path, std::string_view bytes);

/// Where writeFile() would put a new file for `path` (the end of its links), or nothing when it
/// would write into an existing file that is no regular one (a device, a FIFO).
std::optional<std::string> replacedPath(const std::string& path);

/// The new file writeFile() makes, written a piece at a time: a temporary file beside `path`
/// (its old permissions and owner given already) that replaces it on commit(), and is removed when
/// dropped before. A failure ends in IoFailure naming `shown` and leaves the old file as it was.
/// Writes every byte to `fd`, again after an interrupted or partial write; std::system_error when
/// it cannot (ENOSPC when nothing more goes).
void writeAll(int fd, std::string_view bytes);

class ReplacingFile {
public:
    ReplacingFile(const std::string& path, std::string shown);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void write(std::string_view bytes);
    WriteNote commit();

private:
    void abandon();

    std::string m_path;
    std::string m_shown;
    std::string m_temporary;
    int m_fd = -1;
    WriteNote m_note;
};

}  // namespace kivo::cli
