#include "text/legacy_characters.h"

#include <bitset>
#include <string>

#include "text/cp932.h"
#include "text/iconv_converter.h"

namespace kivo {
namespace {

struct Replacement {
    char16_t legacy;
    std::u16string_view standard;
};

// The standard forms: ASCII where the character is a letter, digit or unit sign written in one
// cell, JIS X 0208 kana and kanji otherwise; for the IBM kanji only the variants whose standard
// character is the same character in its common shape (異体字), never a merely similar one.
// Legacy characters missing here have no standard form and are left as they are.
constexpr Replacement kReplacements[] = {
    // Circled numbers.
    {u'①', u"(1)"},
    {u'②', u"(2)"},
    {u'③', u"(3)"},
    {u'④', u"(4)"},
    {u'⑤', u"(5)"},
    {u'⑥', u"(6)"},
    {u'⑦', u"(7)"},
    {u'⑧', u"(8)"},
    {u'⑨', u"(9)"},
    {u'⑩', u"(10)"},
    {u'⑪', u"(11)"},
    {u'⑫', u"(12)"},
    {u'⑬', u"(13)"},
    {u'⑭', u"(14)"},
    {u'⑮', u"(15)"},
    {u'⑯', u"(16)"},
    {u'⑰', u"(17)"},
    {u'⑱', u"(18)"},
    {u'⑲', u"(19)"},
    {u'⑳', u"(20)"},
    // Roman numerals.
    {u'Ⅰ', u"I"},
    {u'Ⅱ', u"II"},
    {u'Ⅲ', u"III"},
    {u'Ⅳ', u"IV"},
    {u'Ⅴ', u"V"},
    {u'Ⅵ', u"VI"},
    {u'Ⅶ', u"VII"},
    {u'Ⅷ', u"VIII"},
    {u'Ⅸ', u"IX"},
    {u'Ⅹ', u"X"},
    {u'ⅰ', u"i"},
    {u'ⅱ', u"ii"},
    {u'ⅲ', u"iii"},
    {u'ⅳ', u"iv"},
    {u'ⅴ', u"v"},
    {u'ⅵ', u"vi"},
    {u'ⅶ', u"vii"},
    {u'ⅷ', u"viii"},
    {u'ⅸ', u"ix"},
    {u'ⅹ', u"x"},
    // Units in one cell.
    {u'㍉', u"ミリ"},
    {u'㌔', u"キロ"},
    {u'㌢', u"センチ"},
    {u'㍍', u"メートル"},
    {u'㌘', u"グラム"},
    {u'㌧', u"トン"},
    {u'㌃', u"アール"},
    {u'㌶', u"ヘクタール"},
    {u'㍑', u"リットル"},
    {u'㍗', u"ワット"},
    {u'㌍', u"カロリー"},
    {u'㌦', u"ドル"},
    {u'㌣', u"セント"},
    {u'㌫', u"パーセント"},
    {u'㍊', u"ミリバール"},
    {u'㌻', u"ページ"},
    {u'㎜', u"mm"},
    {u'㎝', u"cm"},
    {u'㎞', u"km"},
    {u'㎎', u"mg"},
    {u'㎏', u"kg"},
    {u'㏄', u"cc"},
    {u'㎡', u"m2"},
    // Eras, companies, abbreviations and signs.
    {u'㍻', u"平成"},
    {u'㍼', u"昭和"},
    {u'㍽', u"大正"},
    {u'㍾', u"明治"},
    {u'㈱', u"(株)"},
    {u'㈲', u"(有)"},
    {u'㈹', u"(代)"},
    {u'㊤', u"(上)"},
    {u'㊥', u"(中)"},
    {u'㊦', u"(下)"},
    {u'㊧', u"(左)"},
    {u'㊨', u"(右)"},
    {u'№', u"No."},
    {u'℡', u"TEL"},
    {u'㏍', u"K.K."},
    {u'∑', u"Σ"},
    {u'〝', u"“"},
    {u'〟', u"”"},
    {u'＂', u"\""},
    {u'＇', u"'"},
    // IBM kanji and their standard shapes.
    {u'髙', u"高"},
    {u'﨑', u"崎"},
    {u'德', u"徳"},
    {u'悅', u"悦"},
    {u'增', u"増"},
    {u'寬', u"寛"},
    {u'敎', u"教"},
    {u'栁', u"柳"},
    {u'桒', u"桑"},
    {u'橫', u"横"},
    {u'淸', u"清"},
    {u'濵', u"濱"},
    {u'瀨', u"瀬"},
    {u'甁', u"瓶"},
    {u'綠', u"緑"},
    {u'緖', u"緒"},
    {u'薰', u"薫"},
    {u'賴', u"頼"},
    {u'郞', u"郎"},
    {u'鄕', u"郷"},
    {u'靑', u"青"},
    {u'黑', u"黒"},
    {u'兊', u"兌"},
    {u'冝', u"宜"},
    {u'昻', u"昂"},
    {u'\uFA15', u"熙"},
    {u'靍', u"鶴"},
    {u'靏', u"鶴"},
    {u'羡', u"羨"},
    {u'曺', u"曹"},
    {u'裵', u"裴"},
    {u'曻', u"昇"},
    {u'勛', u"勲"},
    {u'咊', u"和"},
    {u'喆', u"哲"},
    {u'杦', u"杉"},
    // CJK compatibility ideographs: the unified character they stand for.
    {u'\uF929', u"朗"},
    {u'\uF9DC', u"隆"},
    {u'\uFA10', u"塚"},
    {u'\uFA12', u"晴"},
    {u'\uFA16', u"猪"},
    {u'\uFA17', u"益"},
    {u'\uFA18', u"礼"},
    {u'\uFA19', u"神"},
    {u'\uFA1A', u"祥"},
    {u'\uFA1B', u"福"},
    {u'\uFA1C', u"靖"},
    {u'\uFA1D', u"精"},
    {u'\uFA1E', u"羽"},
    {u'\uFA22', u"諸"},
    {u'\uFA25', u"逸"},
    {u'\uFA26', u"都"},
    {u'\uFA2A', u"飯"},
    {u'\uFA2B', u"飼"},
    {u'\uFA2C', u"館"},
    {u'\uFA2D', u"鶴"},
};

// Each double-byte code page 932 character whose bytes the C library's Shift_JIS, which is JIS
// X 0208 alone, cannot decode. Encoding first keeps the one-way mappings (U+301C and U+FF5E are
// both 81 60) out, and with them the row 13 characters that iconv writes as their JIS X 0208 twins.
std::bitset<65536> buildLegacySet() {
    std::bitset<65536> set;
    IconvConverter fromShiftJis("UTF-16LE", "SHIFT_JIS");
    for (unsigned u = 0; u < 65536; ++u) {
        const auto c = static_cast<char16_t>(u);
        if (!cp932::isDoubleByte(c)) continue;
        const std::string bytes = cp932::encode(std::u16string_view(&c, 1));
        char out[8];
        set[u] = fromShiftJis.convert(bytes.data(), bytes.size(), out, sizeof out) != 2;
    }
    return set;
}

const std::bitset<65536>& legacySet() {
    static const std::bitset<65536> set = buildLegacySet();
    return set;
}

}  // namespace

bool isLegacyCharacter(char16_t c) {
    return legacySet()[c];
}

std::optional<std::u16string_view> legacyReplacement(char16_t c) {
    if (!isLegacyCharacter(c)) return std::nullopt;
    for (const Replacement& r : kReplacements)
        if (r.legacy == c) return r.standard;
    return std::nullopt;
}

}  // namespace kivo
