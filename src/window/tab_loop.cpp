#include "window/tab_loop.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ops/lists.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

QString indexed(const char* array, int i) {
    return QString::fromStdString(arrayName(array, i));
}

// The rows' access keys, first to seventeenth.
constexpr const char* kRowKeys[TabLoop::kRows] = {"G", "H", "I", "J", "K", "L", "M", "N", "O",
                                                  "P", "Q", "R", "S", "6", "7", "8", "9"};

}  // namespace

TabLoop::TabLoop(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame3"), QStringLiteral("条件3"), state, parent) {
    addCaptionLine(checkBox("Check3"), "個々の数字をインクリメントまたはデクリメントしてループ追加する(&E)",
                   {}, {label("Label12", "ループ回数："), textBox("Text6", 60)});
    addCaptionLine(checkBox("Check2"), "全てチェック(&F)", {},
                   {combo("Combo44"), combo("Combo45"), combo("Combo46")});

    int checkWidth = 0;
    for (int i = 0; i < kRows; ++i) {
        const QString caption = QString::number(i + 1) +
                                QStringLiteral("回目の数値を　　　　　　　　　　　　 する(&") +
                                QLatin1String(kRowKeys[i]) + QStringLiteral(")");
        QCheckBox* row = checkBox(indexed("Check1", i));
        addCaptionLine(row, caption, {{combo(indexed("ComboId", i))}},
                       {label(indexed("Label13", i), "連数ステップ："), combo(indexed("ComboStep", i)),
                        label(indexed("Label14", i), "Format："), combo(indexed("ComboFm", i), 90)});
        checkWidth = std::max(checkWidth, row->sizeHint().width());
    }
    // The rows line up in columns whatever the width of their number.
    for (int i = 0; i < kRows; ++i)
        findChild<QCheckBox*>(indexed("Check1", i))->setFixedWidth(checkWidth);

    addCaptionLine(checkBox("Check4"),
                   "ループ前に数字の            に                             を追加する(&0)",
                   {{combo("Combo58")}, {multiLineBox("Text30", 150)}});

    addAllResetLine(button("Command24", "AllReset(&X)", 90), textBox("Text10", 14));
}

}  // namespace kivo::window
