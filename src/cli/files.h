#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "text/text_encoding.h"

namespace kivo::cli {

/// A text file's text and the encoding it was read in.
using FileText = DecodedText;

/// The text of the file at `path`: the encoding detected as the window's Open detects it, or the
/// one given. InputError when it cannot be read or is not valid in the given encoding, IoFailure
/// when it takes more than `maxBytes`.
FileText readTextFile(const std::string& path, InputEncoding encoding, std::uint64_t maxBytes);

/// The bytes of `text` in `encoding` (UTF-8 with its mark first, or code page 932 with "?" for
/// what it cannot hold).
std::string encodeText(TextView text, TextEncoding encoding);

/// The encoding a result is written in: the one asked for, or the input's.
TextEncoding outputEncodingOf(OutputEncoding asked, TextEncoding input);

/// Replaces (or creates) the file at `path` by `bytes` atomically: a temporary file in the same
/// folder, with the old file's permissions, renamed over it once written. A failed write leaves
/// the old file as it was and ends in IoFailure naming the file and the reason.
void replaceFile(const std::string& path, std::string_view bytes);

}  // namespace kivo::cli
