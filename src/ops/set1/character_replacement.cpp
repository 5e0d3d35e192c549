#include "ops/set1/character_replacement.h"

#include "text/characters.h"

namespace kivo {
namespace {

enum class Asks { Always, WhenCrLf, Never };

struct Mode {
    TextView entry;
    Asks asks;
    TextView question;
    TextView errorMessage;
};

constexpr Mode kModes[] = {
    {kCrLfName, Asks::Always, u"すべての改行をLf(ラインフィード)に統一してから置き換えますがよろしいですか？",
     u"CrLf(改行)を置き換えの際にエラーしました。"},
    {kLfName, Asks::WhenCrLf, u"CrLf(改行)があります、分解されてしまいますがよろしいですか？",
     u"Lf(ラインフィード)を置き換えの際にエラーしました。"},
    {kCrName, Asks::WhenCrLf, u"CrLfがあります、分解されてしまいますがよろしいですか？",
     u"Cr(キャリッジリターン)を置き換え中にエラーしました。"},
    {kBsName, Asks::Never, {}, u"BS(バックスペース)を置き換えの際にエラーしました。"},
    {kTabName, Asks::Never, {}, u"Tab(タブ)を置き換えの際にエラーしました。"},
};

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

}  // namespace

std::optional<Text> ReplaceSpecialCharacter(TextView upper, const Params& params, RunContext& ctx) {
    const Text& entry = params.text("Combo40");
    const Mode* mode = nullptr;
    for (const Mode& m : kModes)
        if (entry == m.entry) mode = &m;
    if (!mode) return std::nullopt;

    return runFramed(ctx, mode->errorMessage, [&]() -> std::optional<Text> {
        const bool asks = mode->asks == Asks::Always ||
                          (mode->asks == Asks::WhenCrLf && findText(upper, kCrLf) != TextView::npos);
        if (asks) {
            // While closing nothing is asked and the replacement goes ahead.
            const std::optional<Answer> answer = ctx.ask(mode->question);
            if (answer && *answer != Answer::Yes) return std::nullopt;
        }
        const Text& replacement = params.text("Text26");
        if (mode->entry == kCrLfName) return withLineBreaks(upper, replacement);
        if (mode->entry == kLfName) return replaceCharacter(upper, kLf, replacement);
        if (mode->entry == kCrName) return replaceCharacter(upper, kCr, replacement);
        if (mode->entry == kBsName) return replaceCharacter(upper, kBs, replacement);
        return replaceCharacter(upper, kTab, replacement);
    });
}

}  // namespace kivo
