#include "ops/set1/character_replacement.h"

#include <algorithm>

#include "text/characters.h"
#include "text/utf8.h"

namespace kivo {
namespace {

enum class Asks { Always, WhenCrLf, Never };

struct Mode {
    TextView entry;
    char16_t unit;  // the character replaced; none for the line breaks, which are normalised
    Asks asks;
    TextView question;
    TextView errorMessage;
};

constexpr Mode kModes[] = {
    {kCrLfName, u'\0', Asks::Always,
     u"すべての改行をLf(ラインフィード)に統一してから置き換えますがよろしいですか？",
     u"CrLf(改行)を置き換えの際にエラーしました。"},
    {kLfName, kLf, Asks::WhenCrLf, u"CrLf(改行)があります、分解されてしまいますがよろしいですか？",
     u"Lf(ラインフィード)を置き換えの際にエラーしました。"},
    {kCrName, kCr, Asks::WhenCrLf, u"CrLfがあります、分解されてしまいますがよろしいですか？",
     u"Cr(キャリッジリターン)を置き換え中にエラーしました。"},
    {kBsName, kBs, Asks::Never, {}, u"BS(バックスペース)を置き換えの際にエラーしました。"},
    {kTabName, kTab, Asks::Never, {}, u"Tab(タブ)を置き換えの際にエラーしました。"},
};

const Mode* modeOf(const Params& params) {
    const Text& entry = params.text("Combo40");
    for (const Mode& m : kModes)
        if (entry == m.entry) return &m;
    return nullptr;
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

std::string replaceByte(std::string_view s, char find, std::string_view replacement) {
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (std::size_t at = s.find(find); at != std::string_view::npos; at = s.find(find, from)) {
        out.append(s.substr(from, at - from)).append(replacement);
        from = at + 1;
    }
    return out.append(s.substr(from));
}

}  // namespace

std::optional<Text> ReplaceSpecialCharacter(TextView upper, const Params& params, RunContext& ctx) {
    const Mode* mode = modeOf(params);
    if (!mode) return std::nullopt;
    return runFramed(ctx, mode->errorMessage, [&]() -> std::optional<Text> {
        if (!mayReplace(*mode, upper, ctx)) return std::nullopt;
        const Text& replacement = params.text("Text26");
        if (mode->entry == kCrLfName) return withLineBreaks(upper, replacement);
        return replaceCharacter(upper, mode->unit, replacement);
    });
}

// The line-break mode normalises the text first. The bound on the result's length (each byte
// replaced by the whole replacement at most) keeps it within what the decoded run would accept.
bool replacesInUtf8(std::string_view upper, const Params& params) {
    const Mode* mode = modeOf(params);
    const Text& replacement = params.text("Text26");
    const std::string bytes = utf8::encode(replacement);
    return mode && mode->entry != kCrLfName && utf8::decode(bytes) == replacement &&
           upper.size() <= kMaxResultLength / std::max<std::size_t>(1, bytes.size());
}

std::optional<std::string> ReplaceSpecialCharacterUtf8(std::string_view upper, const Params& params,
                                                       RunContext& ctx) {
    const Mode* mode = modeOf(params);
    if (!mode) return std::nullopt;
    return runFramed(ctx, mode->errorMessage, [&]() -> std::optional<std::string> {
        if (!mayReplace(*mode, upper, ctx)) return std::nullopt;
        return replaceByte(upper, static_cast<char>(mode->unit), utf8::encode(params.text("Text26")));
    });
}

}  // namespace kivo
