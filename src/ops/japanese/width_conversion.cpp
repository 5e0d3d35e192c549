#include "ops/japanese/width_conversion.h"

#include <array>
#include <memory>

namespace kivo {
namespace {

constexpr char16_t kVoicedMark = u'ﾞ';
constexpr char16_t kSemiVoicedMark = u'ﾟ';

// The full-width forms of U+FF61 … U+FF9F, in order.
constexpr std::u16string_view kFullKatakana =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    u"ヤユヨラリルレロワン゛゜";
constexpr char16_t kFirstHalfKatakana = 0xFF61;
constexpr char16_t kLastHalfKatakana = 0xFF9F;

bool isHalfKatakana(char16_t c) {
    return c >= kFirstHalfKatakana && c <= kLastHalfKatakana;
}

static_assert(kFullKatakana.size() == 0xFF9F - 0xFF61 + 1);

// The letters whose voiced form follows them (カ → ガ), and those whose semi-voiced form comes
// next (ハ → バ → パ). ウ, ワ and ヲ have voiced letters of their own elsewhere in the block.
constexpr std::u16string_view kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view kSemiVoiceable = u"ハヒフヘホ";

bool takesVoicedMark(char16_t c) {
    return kVoiceable.find(c) != std::u16string_view::npos;
}
bool takesSemiVoicedMark(char16_t c) {
    return kSemiVoiceable.find(c) != std::u16string_view::npos;
}
char16_t voiced(char16_t c) {
    switch (c) {
        case u'ウ':
            return u'ヴ';
        case u'ワ':
            return u'ヷ';
        case u'ヲ':
            return u'ヺ';
        default:
            return takesVoicedMark(c) ? static_cast<char16_t>(c + 1) : u'\0';
    }
}

struct HalfForm {
    char16_t units[2] = {};
    std::size_t length = 0;
};

// Full-width katakana and punctuation to their half-width forms, built once: a voiced letter
// becomes its base and a mark, a letter without a half-width form has none.
const std::array<HalfForm, 0x10000>& halfForms() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<HalfForm, 0x10000>>();
        for (std::size_t i = 0; i < kFullKatakana.size(); ++i) {
            const char16_t full = kFullKatakana[i];
            const auto half = static_cast<char16_t>(kFirstHalfKatakana + i);
            (*t)[full] = {{half, 0}, 1};
            if (const char16_t v = voiced(full); v != u'\0' && full != u'ワ' && full != u'ヲ')
                (*t)[v] = {{half, kVoicedMark}, 2};
            if (takesSemiVoicedMark(full)) (*t)[full + 2] = {{half, kSemiVoicedMark}, 2};
        }
        return t;
    }();
    return *table;
}

// The full-width form of a half-width katakana character, composed with the mark that follows
// it when such a letter exists (`composed` then says the mark was taken).
char16_t fullKatakana(char16_t c, char16_t next, bool& composed) {
    const char16_t full = kFullKatakana[c - kFirstHalfKatakana];
    composed = false;
    if (next == kVoicedMark && voiced(full) != u'\0') {
        composed = true;
        return voiced(full);
    }
    if (next == kSemiVoicedMark && takesSemiVoicedMark(full)) {
        composed = true;
        return static_cast<char16_t>(full + 2);
    }
    return full;
}

bool isLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The offset between a printable ASCII character and its full-width form.
constexpr char16_t kFullWidthOffset = 0xFF01 - 0x21;

// Whether the options convert this printable ASCII character.
bool convertsAscii(char16_t c, const WidthOptions& o) {
    if (isLetter(c)) return o.letters;
    if (isDigit(c)) return o.digits;
    return o.symbols;
}

Text toHalf(TextView s, const WidthOptions& o, RunContext& ctx) {
    const auto& kana = halfForms();
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((i & 0xFFFF) == 0 && ctx.poll()) return {};
        const char16_t c = s[i];
        if (c >= 0xFF01 && c <= 0xFF5E && convertsAscii(static_cast<char16_t>(c - kFullWidthOffset), o)) {
            out.push_back(static_cast<char16_t>(c - kFullWidthOffset));
        } else if (c == u'\u3000' && o.spaces) {
            out.push_back(u' ');
        } else if (o.katakana && kana[c].length > 0) {
            out.append(kana[c].units, kana[c].length);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

Text toFull(TextView s, const WidthOptions& o, RunContext& ctx) {
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((i & 0xFFFF) == 0 && ctx.poll()) return {};
        const char16_t c = s[i];
        if (c >= 0x21 && c <= 0x7E && convertsAscii(c, o)) {
            out.push_back(static_cast<char16_t>(c + kFullWidthOffset));
        } else if (c == u' ' && o.spaces) {
            out.push_back(u'\u3000');
        } else if (o.katakana && isHalfKatakana(c)) {
            bool composed = false;
            out.push_back(fullKatakana(c, i + 1 < s.size() ? s[i + 1] : u'\0', composed));
            if (composed) ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::optional<Text> ConvertWidth(TextView upper, const WidthOptions& options, RunContext& ctx) {
    Text out = options.direction == WidthDirection::ToHalf ? toHalf(upper, options, ctx)
                                                           : toFull(upper, options, ctx);
    if (ctx.cancelled()) return std::nullopt;
    return out;
}

constinit const LazyOperation kConvertWidth(35, "convert-width", [] {
    return declare<WidthOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(0)",
                 .description =
                     "Converts letters, digits, symbols, katakana and spaces between full and half width",
                 .japaneseDescription =
                     u"英字・数字・記号・カタカナ・スペースを、全角と半角の間で変換します。",
                 .caption = u"…に変換する(&E)　対象：…英字 …数字 …記号 …カタカナ …スペース",
                 .example = {.input = u"ＡＢＣ１２３　テスト",
                             .options = {"--direction=to-half"},
                             .output = u"ABC123 ﾃｽﾄ"},
                 .lineLocal = true},
        .params = {listParam(&WidthOptions::direction, "direction",
                             {{u"全角→半角", "to-half", WidthDirection::ToHalf},
                              {u"半角→全角", "to-full", WidthDirection::ToFull}})
                       .alias("Combo59")
                       .purpose(u"変換の向き", "Direction of the conversion"),
                   checkParam(&WidthOptions::letters, "letters", true)
                       .alias("Check5(0)")
                       .purpose(u"英字を変換する", "Convert letters"),
                   checkParam(&WidthOptions::digits, "digits", true)
                       .alias("Check5(1)")
                       .purpose(u"数字を変換する", "Convert digits"),
                   checkParam(&WidthOptions::symbols, "symbols", true)
                       .alias("Check5(2)")
                       .purpose(u"記号を変換する", "Convert symbols"),
                   checkParam(&WidthOptions::katakana, "katakana", true)
                       .alias("Check5(3)")
                       .purpose(u"カタカナを変換する", "Convert katakana"),
                   checkParam(&WidthOptions::spaces, "spaces", true)
                       .alias("Check5(4)")
                       .purpose(u"スペースを変換する", "Convert spaces")},
        .preCheck = [](const WidthOptions& o) -> std::optional<Text> {
            if (o.letters || o.digits || o.symbols || o.katakana || o.spaces) return std::nullopt;
            return Text(u"変換する対象を選択して下さい。");
        },
        .run = ConvertWidth,
    });
});

}  // namespace kivo
