#include "window/tab_set1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/reverse_rules.h"
#include "window/text_box.h"

namespace kivo::window {

TabSet1::TabSet1(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame1"), QStringLiteral("条件1"), state, parent) {
    QComboBox* combo41 = combo("Combo41");
    QComboBox* combo42 = combo("Combo42");
    addCaptionLine(option("Option1(0)"), "リバース(&E)", {},
                   {combo41, label("Label11", "行間隔："), combo42});
    new ReverseRules(combo41, combo42, m_state);

    addCaptionLine(option("Option1(1)"), "文字数をカウント(&F)", {}, {combo("Combo39", 380)});

    addCaptionLine(option("Option1(2)"), "特殊文字を次の文字に置換(&G)", {},
                   {combo("Combo40"), multiLineBox("Text26", 120), resetButton("Command26")});

    addCaptionLine(option("Option1(3)"), "                                      の数をカウントする(&H)",
                   {{combo("Combo19")}});

    addCaptionLine(option("Option1(4)"), "　　　　　に次の文字を追加する(&I)", {{combo("Combo31")}},
                   {multiLineBox("Text3", 160), resetButton("Command4")});

    addCaptionLine(
        option("Option1(5)"),
        "　　　　　　      "
        "数字を　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　に置き換(&J)",
        {{combo("Combo34")}, {multiLineBox("Text4", 150)}}, {resetButton("Command7")});

    addCaptionLine(option("Option1(6)"), "        　から　　　　   文字を次の文字に置き換える(&K)",
                   {{combo("Combo32")}, {combo("Combo1")}},
                   {multiLineBox("Text5", 110), resetButton("Command8")});

    addCaptionLine(option("Option1(7)"),
                   "　　      から見つけた                         　　　　　　　　　　　の　　　　　　　 "
                   "を次の文字に置換(&L)",
                   {{combo("Combo2")}, {textBox("Text7", 80)}, {combo("Combo33")}},
                   {multiLineBox("Text8", 70), resetButton("Command9"), resetButton("Command5")});

    addCaptionLine(option("Option1(8)"), "数字だけを抜き出す(&M)", {}, {textBox("Text35", 14)});
    addCaptionLine(option("Option1(9)"), "ダブルバイト文字だけを抜き出す(&N)", {}, {textBox("Text36", 14)});
    addCaptionLine(option("Option1(10)"), "半角文字だけを抜き出す(&O)", {}, {textBox("Text37", 14)});
    addCaptionLine(option("Option1(11)"), "複数行の1行毎に左側にTab文字を1つ追加する(&P)", {},
                   {textBox("Text9", 14)});

    addCaptionLine(option("Option1(12)"), "複数行から次の条件を満たす行を抜き出す(&Q)", {});
    addLine({combo("Combo47"), textBox("Text13", 200), resetButton("Command19")});

    addAllResetLine(button("Command13", "AllReset(&X)", 90), textBox("Text39", 14));
}

}  // namespace kivo::window
