#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "window/rules.h"
#include "window/set2_rules.h"
#include "window/tab_tables.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

void attachRules(TabPage& tab) {
    WindowState& state = tab.state();
    new LineNumberRule(tab.named<QLineEdit>("Text11"), state);
    new ListOnlyComboRule(tab.named<QComboBox>("Combo38"), state, QStringLiteral("奇数"));
    new ListOnlyComboRule(tab.named<QComboBox>("Combo43"), state, QStringLiteral("左から見つけた最初の"));
    for (const char* side : {"Combo4", "Combo18", "Combo16", "Combo17"})
        new SideComboRule(tab.named<QComboBox>(side), state);
    for (const char* count : {"Combo3", "Combo5", "Combo6", "Combo7", "Combo8", "Combo9", "Combo10",
                              "Combo11", "Combo12", "Combo13", "Combo14", "Combo15"})
        new NumericComboRule(tab.named<QComboBox>(count), state);
    // The delimiters of the range replacements are single-line texts: their message speaks of
    // characters only.
    for (const char* delimiter : {"Text16", "Text17", "Text19", "Text20"})
        new TextLengthRule(tab.named<QLineEdit>(delimiter), state, kDelimiterLengthMessage);
    for (const char* text : {"Text12", "Text14", "Text18", "Text21", "Text34"})
        new TextLengthRule(tab.named<PlainTextBox>(text), state);
}

void attachAllReset(TabPage& tab) {
    tab.onAllReset([&tab] {
        tab.restoreDefaults({"Text11",  "Combo38", "Text12",  "Combo4",  "Combo3",  "Text14",  "Combo5",
                             "Text16",  "Text17",  "Text18",  "Combo43", "Text19",  "Text20",  "Text21",
                             "Combo18", "Combo6",  "Combo7",  "Text34",  "Combo8",  "Combo9",  "Combo10",
                             "Combo11", "Combo16", "Combo12", "Combo13", "Combo17", "Combo14", "Combo15"});
        auto* first = tab.named<QRadioButton>("Option2(0)");
        first->setChecked(true);
        first->setFocus();
    });
}

// The options of this tab select themselves on getting the focus.
OperationLine line(const char* selector, std::vector<Piece> pieces) {
    return {.selector = option(selector), .pieces = std::move(pieces)};
}

}  // namespace

TabTable set2Table() {
    return {
        .frameName = QStringLiteral("Frame2"),
        .frameCaption = QStringLiteral("条件2"),
        .firstCode = 13,
        .noSelectionMessage = kChooseOperation,
        .lines =
            {
                line("Option2(0)", {words("複数行の行数をカウントする(&E)")}),
                line("Option2(1)",
                     {words("複数行から1行抜き出す(&F)"), textBox("Text11", 60),
                      label("Label1", "行目").with(Touch::SelectOnly), reset("Command14", {"Text11"})}),
                line("Option2(2)", {words("改行無しデータを1文字ずつ重複チェックを行う(&G)"),
                                    textBox("Text25", 14).with(Touch::SelectOnly)}),
                line("Option2(3)", {combo("Combo38"), words("行を"), multiLineBox("Text12", 200),
                                    words("に置換(&H)"), reset("Command15", {"Combo38", "Text12"})}),
                line("Option2(4)", {combo("Combo4"), words("から"), combo("Combo3"), words("文字目に"),
                                    multiLineBox("Text14", 150), words("を差し込む(&I)"),
                                    reset("Command18", {"Combo4", "Combo3", "Text14"})}),
                line("Option2(5)", {words("1行文字列に次の文字数毎改行を入れる(&J)"), combo("Combo5"),
                                    label("Label2", "文字毎")}),
                line("Option2(6)", {words("行毎に1行内すべての"), textBox("Text16", 70), words("～"),
                                    textBox("Text17", 70), words("を"), multiLineBox("Text18", 95),
                                    words("に置換(&K)"), reset("Command20", {"Text16", "Text17", "Text18"})}),
                line("Option2(7)",
                     {words("行毎に"), combo("Combo43"), textBox("Text19", 64), words("～"),
                      textBox("Text20", 64), words("を"), multiLineBox("Text21", 80), words("に置換(&L)"),
                      reset("Command21", {"Combo43", "Text19", "Text20", "Text21"})}),
                line("Option2(8)", {combo("Combo18"), words("から"), combo("Combo6"), words("文字目～文字数"),
                                    combo("Combo7"), words("文字を置換(&M)")}),
                {.pieces = {multiLineBox("Text34", 300),
                            reset("Command23", {"Combo18", "Combo6", "Combo7", "Text34"})}},
                line("Option2(9)", {combo("Combo8"), words("行目から複数行の行数から"), combo("Combo9"),
                                    words("行おきに抜き出す(&N)")}),
                line("Option2(10)", {combo("Combo10"), words("行目から複数行の行数から"), combo("Combo11"),
                                     words("行おきに抜き出した残り(&O)")}),
                line("Option2(11)", {combo("Combo16"), words("辺より"), combo("Combo12"), words("文字目から"),
                                     combo("Combo13"), words("文字抜き出す(&P)")}),
                line("Option2(12)", {combo("Combo17"), words("辺より"), combo("Combo14"), words("文字目から"),
                                     combo("Combo15"), words("文字抜き出した残り(&Q)")}),
            },
        .allReset = button("Command17", "AllReset(&X)", 90),
        .underAllReset = textBox("Text40", 14).with(Touch::Nothing),
        .attach =
            [](TabPage& tab) {
                attachRules(tab);
                attachAllReset(tab);
            },
    };
}

}  // namespace kivo::window
