#include "ops/japanese/shift_jis_check.h"

#include "text/characters.h"
#include "text/cp932.h"
#include "text/surrogates.h"
#include "text/text_encoding.h"

namespace kivo {

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
        const bool pair = pairStartsAt(upper, i);
        const TextView character = upper.substr(i, pair ? 2 : 1);
        if (pair || !cp932::hasForm(c)) {
            found = true;
            if (list) {
                // An occurrence's line is many times its character.
                ctx.checkResultLength(out.size() + 64);
                if (!out.empty()) out.append(kCrLf);
                out += characterPlace(line, i - lineStart + 1, character);
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

constinit const LazyOperation kCheckShiftJis(40, "shift-jis-check", [] {
    return declare<ShiftJisCheckOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(5)",
                 .description = "Lists, replaces by \"?\" or removes the characters Shift-JIS cannot hold",
                 .japaneseDescription =
                     u"Shift-JISで表せない文字を一覧にする、「?」に置き換える、または削除します。",
                 .caption = u"Shift-JISで表せない文字を(&J)…",
                 .example = {.input = u"a€b", .options = {}, .output = u"1行2文字目：€（U+20AC）"}},
        .params = {listParam(&ShiftJisCheckOptions::action, "action",
                             {{u"一覧にする", "list", UnrepresentableAction::List},
                              {u"「?」に置き換える", "question-mark", UnrepresentableAction::QuestionMark},
                              {u"削除する", "remove", UnrepresentableAction::Remove}})
                       .alias("Combo64")
                       .purpose(u"表せない文字の扱い", "What to do with the characters")},
        .run = CheckShiftJis,
    });
});

}  // namespace kivo
