#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "window/control_model.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/tab_tables.h"

namespace kivo::window {
namespace {

constexpr const char* kListCombos[] = {"Combo72", "Combo73", "Combo74", "Combo75", "Combo76", "Combo77",
                                       "Combo78", "Combo79", "Combo80", "Combo81", "Combo82", "Combo83"};
constexpr const char* kColumnBoxes[] = {"Text44", "Text46"};

void attachRules(TabPage& tab) {
    for (const char* name : kListCombos)
        new ListOnlyComboRule(tab.named<QComboBox>(name), tab.state(),
                              toQString(comboList(name).defaultText));
    for (const char* name : kColumnBoxes)
        new CountTextRule(tab.named<QLineEdit>(name), tab.state(), QStringLiteral("1"));
}

void attachAllReset(TabPage& tab) {
    tab.onAllReset([&tab] {
        tab.restoreDefaults({"Text42",    "Combo72",   "Text43",  "Combo73", "Text44",  "Combo74",
                             "Combo75",   "Check7(0)", "Text45",  "Combo76", "Text46",  "Check7(1)",
                             "Text47",    "Combo77",   "Text48",  "Text49",  "Combo78", "Text50",
                             "Text51",    "Check7(2)", "Combo79", "Combo80", "Text52",  "Combo81",
                             "Check7(3)", "Combo82",   "Text53",  "Combo83"});
        auto* first = tab.named<QRadioButton>("Option7(0)");
        first->setChecked(true);
        first->setFocus();
    });
}

OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector), .pieces = std::move(pieces)};
}

// A table's header row, separator and what becomes of its malformed rows, under its operation's
// caption.
OperationLine tableForm(std::vector<Piece> header, int firstLabel, const char* separator,
                        const char* malformed) {
    header.push_back(label(QStringLiteral("Label%1").arg(firstLabel), QStringLiteral("区切り：")));
    header.push_back(textBox(separator, 40));
    header.push_back(label(QStringLiteral("Label%1").arg(firstLabel + 1), QStringLiteral("不正な行は")));
    header.push_back(combo(malformed));
    return {.pieces = std::move(header)};
}

}  // namespace

TabTable set7Table() {
    return {
        .frameName = QStringLiteral("Frame7"),
        .frameCaption = QStringLiteral("条件7"),
        .firstCode = 46,
        .noSelectionMessage = kChooseOperation,
        .lines =
            {
                line("Option7(0)",
                     {words("CSVの列(&E)"), textBox("Text42", 80), words("を"), combo("Combo72"),
                      reset("Command48", {"Text42", "Combo72", "Text43", "Combo73"})}),
                tableForm({}, 29, "Text43", "Combo73"),
                line("Option7(1)", {words("CSVの行を列(&F)"), textBox("Text44", 40), words("で"),
                                    combo("Combo74"), combo("Combo75"), words("に並べ替える"),
                                    reset("Command49", {"Text44", "Combo74", "Combo75", "Check7(0)", "Text45",
                                                        "Combo76"})}),
                tableForm({check("Check7(0)", "1行目は見出し")}, 31, "Text45", "Combo76"),
                line("Option7(2)",
                     {words("CSVの列(&G)"), textBox("Text46", 40), words("が重複する行を削除する"),
                      reset("Command50", {"Text46", "Check7(1)", "Text47", "Combo77"})}),
                tableForm({check("Check7(1)", "1行目は見出し")}, 33, "Text47", "Combo77"),
                line("Option7(3)",
                     {words("CSVの区切りを(&H)"), textBox("Text48", 40), words("から"), textBox("Text49", 40),
                      words("に変換する"), reset("Command51", {"Text48", "Text49", "Combo78"})}),
                {.pieces = {label("Label35", "不正な行は"), combo("Combo78")}},
                line("Option7(4)",
                     {words("正規表現(&I)"), textBox("Text50", 120), words("を"), textBox("Text51", 90),
                      words("に置換する"),
                      reset("Command52", {"Text50", "Text51", "Check7(2)", "Combo79", "Combo80"})}),
                {.pieces = {combo("Combo79"), label("Label37", "で"), combo("Combo80"),
                            label("Label38", "の一致を"), check("Check7(2)", "大文字と小文字を区別しない")}},
                line("Option7(5)",
                     {words("正規表現(&J)"), textBox("Text52", 110), words("に"), combo("Combo81"),
                      reset("Command53", {"Text52", "Combo81", "Check7(3)", "Combo82"})}),
                {.pieces = {combo("Combo82"), label("Label39", "で"),
                            check("Check7(3)", "大文字と小文字を区別しない")}},
                line("Option7(6)",
                     {words("置換リスト(&K)"), multiLineBox("Text53", 150), words("を"), combo("Combo83"),
                      words("で順に置き換える"), reset("Command54", {"Text53", "Combo83"})}),
                // How a pair is written, where the user types the pairs.
                {.pieces = {label("Label36", "(1行に「検索する文字<Tab>置換する文字」)")}},
            },
        .allReset = button("Command55", "AllReset(&X)", 90),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
