#pragma once

#include "window/tab_page.h"

namespace kivo::window {

/// Execute on a tab without a selected operation runs nothing and says what to choose.
inline const QString kChooseOperation = QStringLiteral("実行する条件を選択して下さい。");
inline const QString kTickLoopGenerator = QStringLiteral(
    "「個々の数字をインクリメントまたはデクリメントしてループ追加する」にチェックを入れて下さい。");

// The condition tabs, in the order of the tab strip.

/// Tab 0, condition set 1 (codes 0–12): character-level operations.
TabTable set1Table();
/// Tab 1, condition set 2 (codes 13–25): line- and position-level operations.
TabTable set2Table();
/// Tab 2, the loop generator (code 26): seventeen number rows under one operation, the
/// all-slots combos that set one column of the rows at once, the loop count and the
/// add-before-loop string.
TabTable loopTable();
/// Tab 3, condition set 4 (codes 27–34): sorting, numbering and date series.
TabTable set4Table();
/// Tab 4, condition set 5 (codes 35–41): Japanese text chores.
TabTable set5Table();
/// Tab 5, condition set 6 (codes 42–45): Japanese office dates and legacy systems.
TabTable set6Table();
/// Tab 6, condition set 7 (codes 46–52): CSV and TSV columns, regular expressions and
/// replacement lists.
TabTable set7Table();

}  // namespace kivo::window
