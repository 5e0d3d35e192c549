#include "ops/set5/shift_jis_check.h"

#include <cstdio>

#include "text/characters.h"
#include "text/cp932.h"

namespace kivo {
namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

void listCharacterPlace(Text& out, std::size_t line, std::size_t column, TextView character) {
    char32_t codePoint = character[0];
    if (character.size() == 2)
        codePoint = 0x10000 + ((character[0] - 0xD800u) << 10) + (character[1] - 0xDC00u);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(codePoint));
    if (!out.empty()) out.append(kCrLf);
    out += decimalText(static_cast<long long>(line));
    out += u"行";
    out += decimalText(static_cast<long long>(column));
    out += u"文字目：";
    out += character;
    out += u"（U+";
    for (const char* h = hex; *h; ++h)
        out.push_back(static_cast<char16_t>(*h));
    out += u"）";
}

std::optional<Text> CheckShiftJis(TextView upper, const ShiftJisCheckOptions& options, RunContext& ctx) {
    const bool list = options.action == UnrepresentableAction::List;
    Text out;
    if (!list) out.reserve(upper.size());
    bool found = false;
    std::size_t line = 1;
    std::size_t lineStart = 0;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < upper.size();) {
        if (++characters % 65536 == 0 && ctx.poll()) return std::nullopt;
        const char16_t c = upper[i];
        const bool pair = isHighSurrogate(c) && i + 1 < upper.size() && isLowSurrogate(upper[i + 1]);
        const TextView character = upper.substr(i, pair ? 2 : 1);
        if (pair || !cp932::hasForm(c)) {
            found = true;
            if (list) {
                // An occurrence's line is many times its character.
                ctx.checkResultLength(out.size() + 64);
                listCharacterPlace(out, line, i - lineStart + 1, character);
            } else if (options.action == UnrepresentableAction::QuestionMark) {
                out.push_back(u'?');
            }
        } else if (!list) {
            out.push_back(c);
        }
        i += character.size();
        // A CrLf is one line break, a lone Cr or Lf another.
        if (c == kLf || (c == kCr && (i == upper.size() || upper[i] != kLf))) {
            ++line;
            lineStart = i;
        }
    }
    if (!found && list) {
        ctx.inform(u"Shift-JISで表せない文字はありませんでした。");
        return std::nullopt;
    }
    // A text that needed no cleaning is the result a clean-up step passes on, not a failure.
    if (!found)
        ctx.inform(options.action == UnrepresentableAction::QuestionMark
                       ? u"Shift-JISで表せない文字はありませんでした。置き換えた文字はありません。"
                       : u"Shift-JISで表せない文字はありませんでした。削除した文字はありません。");
    return out;
}

const OperationDeclaration kCheckShiftJis = declare<ShiftJisCheckOptions>({
    .code = 40,
    .tab = 4,
    .selector = "Option5(5)",
    .name = "shift-jis-check",
    .description = "Lists, replaces by \"?\" or removes the characters Shift-JIS cannot hold",
    .caption = u"Shift-JISで表せない文字を(&J)…",
    .example = {.input = u"a€b", .options = {}, .output = u"1行2文字目：€（U+20AC）"},
    .params = {listParam(&ShiftJisCheckOptions::action, "Combo64", "action",
                         {{u"一覧にする", "list", UnrepresentableAction::List},
                          {u"「?」に置き換える", "question-mark", UnrepresentableAction::QuestionMark},
                          {u"削除する", "remove", UnrepresentableAction::Remove}})},
    .run = CheckShiftJis,
});

}  // namespace kivo
