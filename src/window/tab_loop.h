#pragma once

#include <array>

#include "window/loop_rules.h"
#include "window/tab_page.h"

namespace kivo::window {

/// Tab 2, the loop generator (code 26): seventeen number rows under one operation, the all-slots
/// combos that set one column of the rows at once, the loop count and the add-before-loop string.
class TabLoop final : public TabPage {
    Q_OBJECT

public:
    TabLoop(WindowState& state, QWidget* parent = nullptr);

    /// Rows of numbers the generator can step.
    static constexpr int kRows = 17;

private:
    using Column = std::array<QComboBox*, kRows>;

    void attachRowRules(int row);
    void attachAllSlotCombos();
    void attachLoopCount();
    void attachAddString();
    void attachCheckBoxes();
    void attachSelection();
    /// `Command24`: every control of the tab back to its start value, in a fixed order.
    void allReset();

    /// Touching the tab selects its operation.
    void selectLoop();
    /// Sets a combo's text to `repair` of it, under the guard, when that differs.
    void repairCombo(QComboBox* combo, QString (*repair)(const QString&));
    /// An all-slots combo's text, interpreted by `interpret`, applied to it and its column.
    void applyAllSlots(QComboBox* all, AllSlots (*interpret)(const QString&), const Column& column);

    QCheckBox* m_check2 = nullptr;
    QCheckBox* m_check3 = nullptr;
    QCheckBox* m_check4 = nullptr;
    QComboBox* m_combo44 = nullptr;
    QComboBox* m_combo45 = nullptr;
    QComboBox* m_combo46 = nullptr;
    QComboBox* m_combo58 = nullptr;
    QLineEdit* m_text6 = nullptr;
    PlainTextBox* m_text30 = nullptr;
    std::array<QCheckBox*, kRows> m_used{};
    Column m_directions{};
    Column m_steps{};
    Column m_formats{};
};

}  // namespace kivo::window
