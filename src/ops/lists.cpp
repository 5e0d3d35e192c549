#include "ops/lists.h"

#include <stdexcept>

namespace kivo {
namespace {

Text decimal(int v) {
    Text s;
    for (const char c : std::to_string(v))
        s.push_back(static_cast<char16_t>(c));
    return s;
}

std::vector<Text> range(int from, int to, std::u16string_view prefix = u"") {
    std::vector<Text> out;
    out.reserve(static_cast<std::size_t>(to - from + 1));
    for (int v = from; v <= to; ++v)
        out.push_back(Text(prefix) + decimal(v));
    return out;
}

const std::vector<Text> kSides = {u"左", u"右"};
const std::vector<Text> kUpDown = {u"インクリメント", u"デクリメント"};
const std::vector<Text> kWeekdays = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};

ComboList combo(std::string name, std::vector<Text> entries, Text defaultText) {
    return ComboList{std::move(name), std::move(entries), std::move(defaultText)};
}

std::string comboName(int n) {
    return "Combo" + std::to_string(n);
}

std::vector<ComboList> buildComboLists() {
    const std::vector<Text> counts = range(1, 999);
    const std::vector<Text> countsFrom0 = range(0, 999);
    std::vector<ComboList> lists;
    auto add = [&](int n, const std::vector<Text>& entries, Text def) {
        lists.push_back(combo(comboName(n), entries, std::move(def)));
    };

    add(1, counts, u"1");
    add(2, kSides, u"左");
    add(3, counts, u"1");
    add(4, kSides, u"左");
    for (int n = 5; n <= 15; ++n)
        add(n, counts, u"1");
    add(16, kSides, u"左");
    add(17, kSides, u"左");
    add(18, kSides, u"左");
    add(19,
        {u"半角英小文字「a～z」", u"半角英大文字「A～Z」", u"全角英小文字「ａ～ｚ」",
         u"全角英大文字「Ａ～Ｚ」"},
        u"半角英小文字「a～z」");
    add(20, {u"昇順でソートする", u"降順でソートする"}, u"昇順でソートする");
    add(21, countsFrom0, u"0");
    add(22, kUpDown, u"インクリメント");
    add(23, counts, u"1");
    add(24, kSides, u"左");
    add(25, zeroFormats(), u"000");
    add(26, countsFrom0, u"0");
    add(27, counts, u"1");
    add(30, kSides, u"左");
    add(29, counts, u"1");
    add(28, kUpDown, u"インクリメント");
    add(31, kSides, u"左");
    add(32, kSides, u"左");
    add(33, {u"左側", u"右側"}, u"左側");
    add(34, {u"半角", u"全角", u"半角全角"}, u"半角");
    add(35, counts, u"1");
    add(36, zeroFormats(), u"000");
    add(37, countsFrom0, u"0");
    add(38, {u"奇数", u"偶数"}, u"奇数");
    add(39,
        {u"改行をカウントしない", u"改行を1文字でカウントする", u"改行を2文字でカウントする",
         u"バイト数をカウントする(改行をカウントしない)",
         u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)"},
        u"改行をカウントしない");
    add(40,
        {u"改行(CrLf)", u"改行(Lf)ラインフィード", u"改行(Cr)キャリッジリターン", u"BS(バックスペース)",
         u"Tab(タブ)"},
        u"改行(CrLf)");
    add(41, {u"全文リバースする", u"数行おきにリバースする"}, u"全文リバースする");
    add(42, countsFrom0, u"0");
    add(43, {u"左から見つけた最初の", u"右から見つけた最初の"}, u"左から見つけた最初の");
    for (int i = 0; i <= 16; ++i)
        lists.push_back(combo(arrayName("ComboId", i), kUpDown, u"インクリメント"));
    for (int i = 0; i <= 16; ++i)
        lists.push_back(combo(arrayName("ComboStep", i), counts, u"1"));
    for (int i = 0; i <= 16; ++i)
        lists.push_back(combo(arrayName("ComboFm", i), zeroFormats(), u"0"));
    add(44, {u"すべてインクリメント", u"すべてデクリメント"}, u"すべてインクリメント");
    add(45, range(1, 999, u"すべて"), u"すべて1");
    std::vector<Text> allZeroFormats;
    for (const Text& f : zeroFormats())
        allZeroFormats.push_back(u"すべて" + f);
    add(46, allZeroFormats, u"すべて0");
    add(47, {u"次の文字を含む行を抜き出す", u"次の文字を含まない行を抜き出す"},
        u"次の文字を含む行を抜き出す");
    add(49, countsFrom0, u"1");
    add(48, kSides, u"左");
    add(50, kSides, u"左");
    add(51, kUpDown, u"インクリメント");
    add(52, {u"日にち", u"月", u"年"}, u"日にち");
    add(53,
        {u"「/」 スラッシュ(yyyy/mm/dd)", u"「-」 ハイフン(yyyy-mm-dd)", u"「_」 アンダースコア(yyyy_mm_dd)",
         u"「.」 ドット(yyyy.mm.dd)", u"「,」 カンマ(yyyy,mm,dd)", u"「*」 アスタリスク(yyyy*mm*dd)",
         u"「 」 半角スペース(yyyy mm dd)", u"「|」 バーティカルバー(yyyy|mm|dd)",
         u"「+」 プラス(yyyy+mm+dd)", u"「=」 イコール(yyyy=mm=dd)", u"「#」 シャープ(yyyy#mm#dd)",
         u"「$」 ドル(yyyy$mm$dd)", u"「%」 パーセント(yyyy%mm%dd)", u"「&」 アンパサンド(yyyy&mm&dd)",
         u"「'」 アポストロフィー(yyyy'mm'dd)", u"「\\」 円マーク(yyyy\\mm\\dd)",
         u"「@」 アットマーク(yyyy@mm@dd)"},
        u"「/」 スラッシュ(yyyy/mm/dd)");
    add(54, kWeekdays, u"日");
    add(55, kWeekdays, u"日");
    add(56, range(1, 100), u"1");
    add(57, range(1, 100), u"1");
    add(58, kSides, u"左");
    return lists;
}

std::vector<TextBoxDefault> buildTextBoxDefaults() {
    const std::vector<std::pair<int, Text>> withDefault = {{6, u"5"},  {11, u"2"}, {23, u"1"},
                                                           {24, u"2"}, {27, u"2"}, {28, u"2"},
                                                           {29, u"2"}, {38, u"1"}, {41, u"10"}};
    const std::vector<int> multiLine = {3, 4, 5, 8, 12, 14, 15, 18, 21, 22, 26, 30, 34};
    std::vector<TextBoxDefault> boxes;
    for (int n = 3; n <= 41; ++n) {
        if (n >= 31 && n <= 33) continue;  // no such boxes on the tabs
        TextBoxDefault box{"Text" + std::to_string(n), u"", false};
        for (const auto& [number, value] : withDefault)
            if (number == n) box.defaultText = value;
        for (int m : multiLine)
            box.multiLine = box.multiLine || m == n;
        boxes.push_back(std::move(box));
    }
    return boxes;
}

}  // namespace

std::string arrayName(std::string_view array, int index) {
    return std::string(array) + "(" + std::to_string(index) + ")";
}

std::vector<Text> zeroFormats() {
    std::vector<Text> out;
    for (std::size_t n = 1; n <= 16; ++n)
        out.push_back(Text(n, u'0'));
    return out;
}

const std::vector<ComboList>& comboLists() {
    static const std::vector<ComboList> lists = buildComboLists();
    return lists;
}

const ComboList& comboList(std::string_view name) {
    for (const ComboList& list : comboLists())
        if (list.name == name) return list;
    throw std::out_of_range("no combo " + std::string(name));
}

const std::vector<TextBoxDefault>& textBoxDefaults() {
    static const std::vector<TextBoxDefault> boxes = buildTextBoxDefaults();
    return boxes;
}

const std::vector<std::string>& checkBoxNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (int i = 0; i <= 16; ++i)
            out.push_back(arrayName("Check1", i));
        for (const char* name : {"Check2", "Check3", "Check4", "chkYoubi"})
            out.emplace_back(name);
        return out;
    }();
    return names;
}

const std::vector<std::string>& datePickerNames() {
    static const std::vector<std::string> names = {"DTPicker1", "DTPicker2", "DTPicker3"};
    return names;
}

}  // namespace kivo
