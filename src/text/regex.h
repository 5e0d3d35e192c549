#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "text/errors.h"
#include "text/lines.h"
#include "text/run_control.h"

struct URegularExpression;

namespace kivo {

/// How a pattern is compiled.
struct RegexOptions {
    bool ignoreCase = false;
    /// ^ and $ match at the start and end of every line of a whole text, not only of the text
    /// (where $ also matches before a final line break, as in ICU).
    bool multiLine = false;
    /// The bound of one match in ICU's steps (each a fraction of a millisecond: a matching
    /// engine's time slice), for the command line; 0 for none.
    std::int32_t timeLimit = 0;
};

/// Where a regular-expression failure lies.
enum class RegexPart { Pattern, Replacement, Match };

/// A pattern or a replacement that ICU refuses, or a match that it could not finish (out of time
/// or out of backtracking memory), with ICU's reason and the 1-based position of the character
/// it concerns (0 for a match).
class RegexError : public RefusedInput {
public:
    RegexError(RegexPart part, int icuCode, std::size_t position);

    RegexPart part() const { return m_part; }
    int icuCode() const { return m_icuCode; }
    /// ICU's name of the error, such as "U_REGEX_MISMATCHED_PAREN".
    const char* icuName() const;
    std::size_t position() const { return m_position; }

private:
    RegexPart m_part;
    int m_icuCode;
    std::size_t m_position;
};

/// A compiled pattern (ICU's regular expressions on UTF-16 text: a character outside the BMP is
/// one character, \p{Han} and [ぁ-ん] work, and a CrLf is one line end for ^, $ and .).
class Regex {
public:
    /// Compiles `pattern`; an invalid one is a RegexError, an empty one a RefusedInput.
    explicit Regex(TextView pattern, const RegexOptions& options = {});

    std::int32_t groupCount() const;
    URegularExpression* icu() const { return m_regex.get(); }

private:
    struct Close {
        void operator()(URegularExpression* regex) const;
    };
    std::unique_ptr<URegularExpression, Close> m_regex;
};

/// A replacement text read once for a pattern, with ICU's syntax: $0…$9 (more digits while they
/// name a group of the pattern, full-width digits alike), ${name}, \ before any character to take
/// it literally (\$, \\), \uhhhh and \Uhhhhhhhh; a final lone \ is dropped.
class RegexReplacement {
public:
    /// Reads `replacement`; a group the pattern lacks, or $ before anything else, is a RegexError.
    RegexReplacement(TextView replacement, const Regex& regex);

    /// Appends the replacement of the current match of `regex` in `text` to `out`.
    void appendTo(Text& out, URegularExpression* regex, TextView text) const;
    /// True when the replacement itself can bring a Cr or Lf into the text.
    bool breaksLines() const { return m_breaksLines; }

private:
    struct Piece {
        Text literal;
        std::int32_t group = -1;
    };
    std::vector<Piece> m_pieces;
    bool m_breaksLines = false;
};

/// Whether the pattern sees the whole text (line breaks made CrLf first) or each line on its
/// own, without its line break.
enum class RegexScope { WholeText, LineByLine };

struct RegexReplaceOptions {
    RegexScope scope = RegexScope::LineByLine;
    /// Every match, or only the first (of the text, or of each line).
    bool all = true;
};

/// A result and how many replacements or extracted lines made it.
struct RegexResult {
    Text text;
    std::size_t count = 0;
};

/// The text with the matches of `regex` replaced, its line breaks CrLf; nothing when stopped.
std::optional<RegexResult> replaceMatches(TextView text, Regex& regex, const RegexReplacement& replacement,
                                          const RegexReplaceOptions& options, const RunControl& control);

enum class RegexExtraction { MatchingLines, NonMatchingLines, MatchedParts, FirstGroup };

/// The lines that match or do not (each line on its own), or each non-empty match or first
/// group on a line of its own, CrLf between them and at the end when the text ended with a line
/// break; nothing when stopped. FirstGroup of a pattern without a group is refused.
std::optional<RegexResult> extractMatches(TextView text, Regex& regex, RegexExtraction extraction,
                                          RegexScope scope, const RunControl& control);

}  // namespace kivo
