#include "window/tab_set4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/text_box.h"

namespace kivo::window {

TabSet4::TabSet4(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame4"), QStringLiteral("条件4"), state, parent) {
    addCaptionLine(option("Option4(0)"), "複数行から文字をソートする(&E)", {}, {combo("Combo20")});

    addCaptionLine(
        option("Option4(1)"),
        "          行目から 　　　　　行おきに　　　　   から　     　  文字目後に 　　　　　   　          "
        "数値を入れる(&F)",
        {{combo("Combo27")}, {combo("Combo26")}, {combo("Combo24")}, {combo("Combo21")}, {combo("Combo22")}});
    addLine({label("Label4", "連数開始数値："), textBox("Text38", 60), label("Label5", "連数ステップ："),
             combo("Combo23"), label("Label6", "Format："), combo("Combo25", 80), resetButton("Command29")});

    addCaptionLine(option("Option4(2)"),
                   "  　　　　から　　　　　 番目に見つけた数字を   "
                   "　　　　　　　　　　　後改行して　　　　　　　　　　 行追加する(&G)",
                   {{combo("Combo30")}, {combo("Combo29")}, {combo("Combo28")}, {textBox("Text41", 50)}});
    addLine({label("Label7", "連数ステップ："), combo("Combo35"), label("Label9", "Format："),
             combo("Combo36", 80), label("Label10", "追加を次の行置きに行う："), combo("Combo37"),
             resetButton("Command30")});

    addCaptionLine(
        option("Option4(3)"),
        "        　から見つけた　　　　　　　　を含む　　　 　  側           文字を次の文字に置き換える (&H)",
        {{combo("Combo48")}, {textBox("Text15", 70)}, {combo("Combo50")}, {combo("Combo49")}},
        {resetButton("Command10")});
    addLine({multiLineBox("Text22", 300), resetButton("Command32")});

    addCaptionLine(option("Option4(4)"),
                   "                                  を                          する(&I)",
                   {{combo("Combo52")}, {combo("Combo51")}},
                   {label("Label16", "ステップ："), textBox("Text23", 60), resetButton("Command16")});
    addLine({textBox("Text24", 60), label("Label17", "行追加する      Format："), combo("Combo53", 240),
             resetButton("Command33")});

    addCaptionLine(option("Option4(5)"), "月末の日にちを列挙する(&J)", {},
                   {textBox("Text27", 60), label("Label19", "ヶ月　　 開始月："), datePicker("DTPicker1"),
                    checkBox("chkYoubi", "曜日も付加する(&K)")});

    addCaptionLine(option("Option4(6)"), "月初めの　　　　　　　の日にちを列挙する(&L)", {{combo("Combo54")}},
                   {textBox("Text28", 60), label("Label21", "ヶ月 　 開始月："), datePicker("DTPicker2")});
    addLine({label("Label15", "ステップ："), combo("Combo57")});

    addCaptionLine(option("Option4(7)"), "　　　　　  を列挙する(&M)", {{combo("Combo55")}},
                   {textBox("Text29", 60), label("Label22", "ヶ月　 　開始月："), datePicker("DTPicker3"),
                    label("Label23", "ステップ："), combo("Combo56")});

    addAllResetLine(button("Command22", "AllReset(&X)", 90));
}

}  // namespace kivo::window
