#include "window/tab_set2.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/text_box.h"

namespace kivo::window {

TabSet2::TabSet2(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame2"), QStringLiteral("条件2"), state, parent) {
    addCaptionLine(option("Option2(0)"), "複数行の行数をカウントする(&E)", {});

    addCaptionLine(option("Option2(1)"), "複数行から1行抜き出す(&F)", {},
                   {textBox("Text11", 60), label("Label1", "行目"), resetButton("Command14")});

    addCaptionLine(option("Option2(2)"), "改行無しデータを1文字ずつ重複チェックを行う(&G)", {},
                   {textBox("Text25", 14)});

    addCaptionLine(option("Option2(3)"),
                   "         　 行を              　            "
                   "　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　 に置換(&H)",
                   {{combo("Combo38")}, {multiLineBox("Text12", 200)}}, {resetButton("Command15")});

    addCaptionLine(option("Option2(4)"),
                   "          から  　　　　 文字目に             "
                   "　　　　　　　　　　　　　　　　　　　　　　　　　  を差し込む(&I)",
                   {{combo("Combo4")}, {combo("Combo3")}, {multiLineBox("Text14", 150)}},
                   {resetButton("Command18")});

    addCaptionLine(option("Option2(5)"), "1行文字列に次の文字数毎改行を入れる(&J)", {},
                   {combo("Combo5"), label("Label2", "文字毎")});

    addCaptionLine(option("Option2(6)"),
                   "行毎に1行内すべての　　        ～ 　　       を                                 "
                   "　　　　　　　　　に置換(&K)",
                   {{textBox("Text16", 70)}, {textBox("Text17", 70)}, {multiLineBox("Text18", 95)}},
                   {resetButton("Command20")});

    addCaptionLine(
        option("Option2(7)"),
        "行毎に 　　　　　　　　　　　　　　　　　　　 　　　　～            を  "
        "　　　　　　　　　　　　　　　 に置換(&L)",
        {{combo("Combo43"), textBox("Text19", 64)}, {textBox("Text20", 64)}, {multiLineBox("Text21", 80)}},
        {resetButton("Command21")});

    addCaptionLine(option("Option2(8)"), "　　　　　から　　  　　 文字目～文字数　　　　　 文字を置換(&M)",
                   {{combo("Combo18")}, {combo("Combo6")}, {combo("Combo7")}});
    addLine({multiLineBox("Text34", 300), resetButton("Command23")});

    addCaptionLine(option("Option2(9)"), " 　　 　　行目から複数行の行数から  　　　　 行おきに抜き出す(&N)",
                   {{combo("Combo8")}, {combo("Combo9")}});
    addCaptionLine(option("Option2(10)"),
                   "　　 　　 行目から複数行の行数から  　　　　 行おきに抜き出した残り(&O)",
                   {{combo("Combo10")}, {combo("Combo11")}});

    addCaptionLine(option("Option2(11)"), "　　　　　辺より           文字目から　 　　　　文字抜き出す(&P)",
                   {{combo("Combo16")}, {combo("Combo12")}, {combo("Combo13")}});
    addCaptionLine(option("Option2(12)"),
                   "　　　　　辺より           文字目から　 　　　　文字抜き出した残り(&Q)",
                   {{combo("Combo17")}, {combo("Combo14")}, {combo("Combo15")}});

    addAllResetLine(button("Command17", "AllReset(&X)", 90), textBox("Text40", 14));
}

}  // namespace kivo::window
