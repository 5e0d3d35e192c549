#include "ops/characters/character_replacement.h"

#include <algorithm>

#include "text/characters.h"
#include "text/memory_budget.h"
#include "text/utf8.h"

namespace kivo {
namespace {

enum class Asks { Always, WhenCrLf, Never };

struct Mode {
    TextView entry;
    std::string_view alias;
    char16_t unit;  // the character replaced; none for the line breaks, which are normalised
    Asks asks;
    TextView question;
    TextView errorMessage;
};

// In the order of SpecialCharacter.
constexpr Mode kModes[] = {
    {kCrLfName, "line-break", u'\0', Asks::Always,
     u"すべての改行をLf(ラインフィード)に統一してから置き換えますがよろしいですか？",
     u"CrLf(改行)を置き換えの際にエラーしました。"},
    {kLfName, "lf", kLf, Asks::WhenCrLf, u"CrLf(改行)があります、分解されてしまいますがよろしいですか？",
     u"Lf(ラインフィード)を置き換えの際にエラーしました。"},
    {kCrName, "cr", kCr, Asks::WhenCrLf, u"CrLfがあります、分解されてしまいますがよろしいですか？",
     u"Cr(キャリッジリターン)を置き換え中にエラーしました。"},
    {kBsName, "bs", kBs, Asks::Never, {}, u"BS(バックスペース)を置き換えの際にエラーしました。"},
    {kTabName, "tab", kTab, Asks::Never, {}, u"Tab(タブ)を置き換えの際にエラーしました。"},
};

const Mode& modeOf(const SpecialCharacterOptions& options) {
    return kModes[static_cast<int>(options.character)];
}

std::vector<Choice<SpecialCharacter>> characterChoices() {
    std::vector<Choice<SpecialCharacter>> choices;
    for (int i = 0; i < static_cast<int>(std::size(kModes)); ++i)
        choices.push_back(
            {Text(kModes[i].entry), std::string(kModes[i].alias), static_cast<SpecialCharacter>(i)});
    return choices;
}

bool holdsCrLf(TextView s) {
    return findText(s, kCrLf) != TextView::npos;
}
bool holdsCrLf(std::string_view s) {
    return s.find("\r\n") != std::string_view::npos;
}

// The mode's question, where it has one: false when the answer ends the run. While closing
// nothing is asked and the replacement goes ahead.
template <typename View>
bool mayReplace(const Mode& mode, View upper, RunContext& ctx) {
    if (mode.asks == Asks::Never || (mode.asks == Asks::WhenCrLf && !holdsCrLf(upper))) return true;
    const std::optional<Answer> answer = ctx.ask(mode.question);
    return !answer || *answer == Answer::Yes;
}

// One unit for one (a Tab for a blank) is a copy changed in place where the unit is found.
Text replaceCharacter(TextView s, char16_t find, TextView replacement) {
    if (replacement.size() == 1) {
        Text out(s);
        for (std::size_t at = findUnit(out, find); at != TextView::npos; at = findUnit(out, find, at + 1))
            out[at] = replacement.front();
        return out;
    }
    return replaceAll(s, TextView(&find, 1), replacement);
}

// Into `out`, replacing what it held (its storage is reused).
void replaceByte(std::string_view s, char find, std::string_view replacement, std::string& out) {
    // One byte for one: a copy that changes bytes on the way, many at a time.
    if (replacement.size() == 1) {
        out.resize(s.size());
        std::replace_copy(s.begin(), s.end(), out.begin(), find, replacement.front());
        return;
    }
    out.clear();
    out.reserve(s.size());
    std::size_t from = 0;
    for (std::size_t at = s.find(find); at != std::string_view::npos; at = s.find(find, from)) {
        out.append(s.substr(from, at - from)).append(replacement);
        from = at + 1;
    }
    out.append(s.substr(from));
}

}  // namespace

std::optional<Text> ReplaceSpecialCharacter(TextView upper, const SpecialCharacterOptions& options,
                                            RunContext& ctx) {
    const Mode& mode = modeOf(options);
    if (!mayReplace(mode, upper, ctx)) return std::nullopt;
    // Every occurrence may take the whole replacement: refused before it is built when that is
    // beyond the budget.
    const std::size_t occurrences = options.character == SpecialCharacter::LineBreak
                                        ? countUnit(upper, kCr) + countUnit(upper, kLf)
                                        : countUnit(upper, mode.unit);
    ctx.checkResultLength(upper.size() + std::uint64_t{occurrences} * options.replacement.size());
    if (options.character == SpecialCharacter::LineBreak) return withLineBreaks(upper, options.replacement);
    return replaceCharacter(upper, mode.unit, options.replacement);
}

// The line-break mode normalises the text first. The bound on the result's length (each byte
// replaced by the whole replacement at most) keeps it within what the decoded run would accept.
bool replacesInUtf8(std::string_view upper, const SpecialCharacterOptions& options) {
    const std::string bytes = utf8::encode(options.replacement);
    return options.character != SpecialCharacter::LineBreak && utf8::decode(bytes) == options.replacement &&
           upper.size() <= memory::kPaneMaxLength / std::max<std::size_t>(1, bytes.size());
}

std::optional<std::string> ReplaceSpecialCharacterUtf8(std::string_view upper,
                                                       const SpecialCharacterOptions& options,
                                                       RunContext& ctx) {
    const Mode& mode = modeOf(options);
    if (!mayReplace(mode, upper, ctx)) return std::nullopt;
    const std::string replacement = utf8::encode(options.replacement);
    const char find = static_cast<char>(mode.unit);
    // A replacement of one byte or none never makes the text longer.
    if (replacement.size() > 1) {
        const auto occurrences =
            static_cast<std::uint64_t>(std::count(upper.begin(), upper.end(), mode.unit));
        ctx.checkResultLength(upper.size() + occurrences * replacement.size());
    } else {
        ctx.checkResultLength(upper.size());
    }
    std::string out;
    if (ResultSink* sink = ctx.resultSink()) {
        // Written out a block at a time, through one buffer: the one byte replaced never spans two
        // blocks.
        constexpr std::size_t kBlock = std::size_t{1} << 20;
        for (std::size_t from = 0; from < upper.size(); from += kBlock) {
            replaceByte(upper.substr(from, kBlock), find, replacement, out);
            sink->writeBytes(out);
        }
        return std::string();
    }
    replaceByte(upper, find, replacement, out);
    return out;
}

constinit const LazyOperation kReplaceSpecialCharacter(2, "replace-special", [] {
    return declare<SpecialCharacterOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(2)",
                 .description = "Replaces every line break, Lf, Cr, BS or Tab by a text",
                 .japaneseDescription =
                     u"改行・Lf・Cr・BS・Tabのうち選んだものを、すべて指定した文字に置き換えます。",
                 .caption = u"特殊文字を次の文字に置換(&G)",
                 .example = {.input = u"a\tb\tc",
                             .options = {"--character=tab", "--replacement=,"},
                             .output = u"a,b,c"},
                 .streamsResult = true,
                 .lineLocal = true},
        .params = {listParam(&SpecialCharacterOptions::character, "character", characterChoices(),
                             OtherText::RunsNothing)
                       .alias("Combo40")
                       .purpose(u"置換する特殊文字", "Special character to replace"),
                   textParam(&SpecialCharacterOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text26")
                       .purpose(u"置換後の文字", "Replacement text")},
        // Each character has its own message.
        .errorMessageOf = [](const SpecialCharacterOptions& o,
                             const UnreadOptions&) { return modeOf(o).errorMessage; },
        .run = ReplaceSpecialCharacter,
        .takesUtf8 = replacesInUtf8,
        .runUtf8 = ReplaceSpecialCharacterUtf8,
        // A Tab or a BS is replaced wherever it is; the line breaks are replaced across lines, and the
        // Lf and the Cr only after a question that a text with CrLf asks once.
        .lineLocalWith =
            [](const SpecialCharacterOptions& o) {
                return o.character == SpecialCharacter::Tab || o.character == SpecialCharacter::Bs;
            },
    });
});

}  // namespace kivo
