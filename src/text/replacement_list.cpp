#include "text/replacement_list.h"

#include <string>
#include <utility>

namespace kivo {
namespace {

constexpr TextView kCrLf = u"\r\n";

Text withCrLf(TextView text) {
    const LineBreakStyle style = lineBreakStyleOf(text);
    return style == LineBreakStyle::None || style == LineBreakStyle::CrLf ? Text(text)
                                                                          : withLineBreaks(text, kCrLf);
}

// Every occurrence of `find` replaced, left to right, inserted text never searched again;
// nothing when stopped.
std::optional<Text> replacePlain(TextView text, TextView find, TextView replacement, std::size_t& count,
                                 const RunControl& control) {
    Text out;
    std::size_t done = 0;
    for (std::size_t at = findText(text, find); at != TextView::npos; at = findText(text, find, done)) {
        if ((count & 0xFFF) == 0xFFF && control.stopped()) return std::nullopt;
        if (out.empty()) out.reserve(std::min(text.size(), control.resultBudget));
        out.append(text.substr(done, at - done));
        out.append(replacement);
        done = at + find.size();
        ++count;
        control.checkLength(out.size());
    }
    out.append(text.substr(done));
    control.checkLength(out.size());
    return out;
}

}  // namespace

ReplacementListError::ReplacementListError(std::size_t line, const std::string& english, const Text& japanese)
    : RefusedInput("replacement list, line " + std::to_string(line) + ": " + english,
                   decimalUnits(line) + u"行目：" + japanese),
      m_line(line) {}

ReplacementList::ReplacementList(TextView list, RuleKind kind, const RegexOptions& options) {
    LineReader lines(list, LineEnds::Any);
    TextView line;
    for (std::size_t number = 1; lines.next(line); ++number) {
        if (line.empty() || line.front() == u'#') continue;
        const std::size_t tab = line.find(u'\t');
        if (tab == TextView::npos)
            throw ReplacementListError(number, "a find and its replacement are separated by a Tab",
                                       u"検索する文字と置換する文字をTabで区切ってください。");
        if (tab == 0) throw ReplacementListError(number, "the find is empty", u"検索する文字が空です。");
        Rule& rule =
            m_rules.emplace_back(Rule{Text(line.substr(0, tab)), Text(line.substr(tab + 1)), {}, {}});
        if (kind == RuleKind::Plain) continue;
        try {
            rule.regex.emplace(rule.find, options);
            rule.regexReplacement.emplace(rule.replacement, *rule.regex);
        } catch (const RefusedInput& e) {
            throw ReplacementListError(number, e.what(), e.japanese());
        }
    }
}

std::optional<ReplacementListResult> ReplacementList::apply(TextView text, const RegexReplaceOptions& options,
                                                            const RunControl& control) {
    ReplacementListResult result{withCrLf(text), {}};
    for (Rule& rule : m_rules) {
        if (control.stopped()) return std::nullopt;
        std::size_t count = 0;
        if (rule.regex) {
            std::optional<RegexResult> replaced =
                replaceMatches(result.text, *rule.regex, *rule.regexReplacement, options, control);
            if (!replaced) return std::nullopt;
            result.text = std::move(replaced->text);
            count = replaced->count;
        } else {
            std::optional<Text> replaced =
                replacePlain(result.text, rule.find, rule.replacement, count, control);
            if (!replaced) return std::nullopt;
            result.text = std::move(*replaced);
        }
        result.counts.push_back(count);
    }
    return result;
}

}  // namespace kivo
