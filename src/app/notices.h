#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/lines.h"

namespace kivo::app {

/// The notices server's text carries its notices after this marker.
inline constexpr TextView kNoticesMarker = u"Kivoオートフィルお知らせ：";
/// A notices text is at most this long, counted before its line breaks are converted.
inline constexpr std::size_t kNoticesMaxLength = 500;

/// The notices text of a server text: what follows the marker, at most 500 characters, without
/// control characters other than Cr and Lf, without the direction overrides and isolates
/// (U+202A–U+202E, U+2066–U+2069) and without its leading and trailing spaces, each <BR> or <BR /> (any case)
/// a line break, every line break CrLf, and cut after the first line of an empty-line pair. Nothing when the
/// marker is absent or nothing but spaces follows it.
std::optional<Text> noticesText(TextView serverText);

/// The server text of an answer: the answer as the HTTP layer decoded it, with Shift-JIS of the
/// raw bytes taking over when that text is missing or empty, or when it holds "???" (a sign of a
/// wrong decoding) and the raw bytes are valid Shift-JIS. Empty unless it contains "<BODY>".
Text serverText(const std::optional<Text>& decoded, std::string_view rawBytes);

/// Whether a charset label of an HTTP answer names Shift-JIS, which is read as code page 932 so
/// that a notice compares equal to what InfoLog.txt records of it.
bool isShiftJisCharset(std::string_view label);

/// Whether the notices log (the content of InfoLog.txt) already records the notice.
bool logHoldsNotice(TextView log, TextView notice);

/// The notices log once the notice has been shown: the notice and a CrLf appended.
Text logWithNotice(TextView log, TextView notice);

/// What a log write puts into InfoLog.txt: the log in code page 932, then one more CrLf.
std::string infoLogBytes(TextView log);

}  // namespace kivo::app
