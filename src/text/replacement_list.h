#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "text/errors.h"
#include "text/lines.h"
#include "text/regex.h"
#include "text/run_control.h"

namespace kivo {

/// Whether the finds of a replacement list are plain texts or regular expressions; one choice
/// for the whole list.
enum class RuleKind { Plain, Regex };

/// A line of a replacement list that cannot be used, with its 1-based line number.
class ReplacementListError : public RefusedInput {
public:
    ReplacementListError(std::size_t line, const std::string& english, const Text& japanese);
    std::size_t line() const { return m_line; }

private:
    std::size_t m_line;
};

/// A list's result and how many replacements each pair made, in the list's order.
struct ReplacementListResult {
    Text text;
    std::vector<std::size_t> counts;
};

/// Find → replacement pairs run one after another over a text, as a standing clean-up.
class ReplacementList {
public:
    /// Reads one pair per line, the find and its replacement split at the line's first Tab (the
    /// replacement may hold more Tabs); empty lines and lines starting with # are skipped. A line
    /// without a Tab, an empty find, and a regular expression or replacement that does not
    /// compile are refused with the line's number.
    ReplacementList(TextView list, RuleKind kind, const RegexOptions& options = {});

    std::size_t size() const { return m_rules.size(); }

    /// The text (its line breaks made CrLf) with each pair applied in order to the result of the
    /// one before: a plain find replaces every occurrence, left to right, exactly; a regular
    /// expression as `options` say. Nothing when stopped.
    std::optional<ReplacementListResult> apply(TextView text, const RegexReplaceOptions& options,
                                               const RunControl& control);

private:
    struct Rule {
        Text find;
        Text replacement;
        std::optional<Regex> regex;
        std::optional<RegexReplacement> regexReplacement;
    };
    std::vector<Rule> m_rules;
};

}  // namespace kivo
