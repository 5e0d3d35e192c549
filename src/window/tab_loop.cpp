#include <algorithm>
#include <array>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ops/registry.h"
#include "window/control_events.h"
#include "window/control_model.h"
#include "window/loop_rules.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/spoken_names.h"
#include "window/tab_tables.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// Rows of numbers the generator can step.
constexpr int kRows = 17;

QString indexed(const char* array, int i) {
    return QString::fromStdString(arrayName(array, i));
}

// The rows' access keys, first to seventeenth.
constexpr const char* kRowKeys[kRows] = {"G", "H", "I", "J", "K", "L", "M", "N", "O",
                                         "P", "Q", "R", "S", "6", "7", "8", "9"};

// Sees a control's key presses before the control does; the handler says whether it took the key.
class KeyFilter final : public QObject {
public:
    KeyFilter(QWidget* control, std::function<bool(const QKeyEvent&)> handler)
        : QObject(control), m_handler(std::move(handler)) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::KeyPress && m_handler(*static_cast<QKeyEvent*>(event));
    }

private:
    std::function<bool(const QKeyEvent&)> m_handler;
};

// Tab and Shift+Tab only move the focus: they are no key pressed in a control.
bool movesFocus(const QKeyEvent& key) {
    return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

// A key that toggles a row: any key but the focus moves, bare modifiers and the window's
// shortcuts.
bool togglesRow(const QKeyEvent& key) {
    if (movesFocus(key)) return false;
    switch (key.key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
            return false;
        default:
            return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    }
}

// Calls `handler` on every key pressed in `control` except the focus moves, before the control
// handles the key.
void onKey(QWidget* control, std::function<void()> handler) {
    new KeyFilter(control, [handler = std::move(handler)](const QKeyEvent& key) {
        if (!movesFocus(key)) handler();
        return false;
    });
}

// The generator's controls beyond choosing its operation: the rules of the rows, the all-slots
// combos, the loop count, the add-before-loop string, the check boxes and AllReset.
class LoopGenerator final : public QObject {
public:
    explicit LoopGenerator(TabPage& tab);

private:
    using Column = std::array<QComboBox*, kRows>;

    void attachRowRules(int row);
    void attachAllSlotCombos();
    void attachLoopCount();
    void attachAddString();
    void attachCheckBoxes();
    /// `Command24`: every control of the tab back to its start value, in a fixed order.
    void allReset();

    void selectLoop() { m_check3->setChecked(true); }
    /// Sets a combo's text to `repair` of it, under the guard, when that differs.
    void repairCombo(QComboBox* combo, QString (*repair)(const QString&));
    /// An all-slots combo's text, interpreted by `interpret`, applied to it and its column.
    void applyAllSlots(QComboBox* all, AllSlots (*interpret)(const QString&), const Column& column);

    WindowState& m_state;
    QCheckBox* m_check2;
    QCheckBox* m_check3;
    QCheckBox* m_check4;
    QComboBox* m_combo44;
    QComboBox* m_combo45;
    QComboBox* m_combo46;
    QComboBox* m_combo58;
    QLineEdit* m_text6;
    PlainTextBox* m_text30;
    std::array<QCheckBox*, kRows> m_used{};
    Column m_directions{};
    Column m_steps{};
    Column m_formats{};
};

LoopGenerator::LoopGenerator(TabPage& tab)
    : QObject(&tab),
      m_state(tab.state()),
      m_check2(tab.named<QCheckBox>("Check2")),
      m_check3(tab.named<QCheckBox>("Check3")),
      m_check4(tab.named<QCheckBox>("Check4")),
      m_combo44(tab.named<QComboBox>("Combo44")),
      m_combo45(tab.named<QComboBox>("Combo45")),
      m_combo46(tab.named<QComboBox>("Combo46")),
      m_combo58(tab.named<QComboBox>("Combo58")),
      m_text6(tab.named<QLineEdit>("Text6")),
      m_text30(tab.named<PlainTextBox>("Text30")) {
    int checkWidth = 0;
    for (int i = 0; i < kRows; ++i) {
        m_used[i] = tab.named<QCheckBox>(indexed("Check1", i));
        m_directions[i] = tab.named<QComboBox>(indexed("ComboId", i));
        m_steps[i] = tab.named<QComboBox>(indexed("ComboStep", i));
        m_formats[i] = tab.named<QComboBox>(indexed("ComboFm", i));
        checkWidth = std::max(checkWidth, m_used[i]->sizeHint().width());
    }
    // The rows line up in columns whatever the width of their number.
    for (QCheckBox* used : m_used)
        used->setFixedWidth(checkWidth);

    for (int i = 0; i < kRows; ++i)
        attachRowRules(i);
    attachAllSlotCombos();
    attachLoopCount();
    attachAddString();
    attachCheckBoxes();
    tab.onAllReset([this] { allReset(); });
}

void LoopGenerator::repairCombo(QComboBox* combo, QString (*repair)(const QString&)) {
    const QString text = combo->currentText();
    const QString repaired = repair(text);
    if (repaired == text) return;
    GuardHold hold(m_state);
    combo->setEditText(repaired);
}

void LoopGenerator::applyAllSlots(QComboBox* all, AllSlots (*interpret)(const QString&),
                                  const Column& column) {
    if (m_state.guard) return;
    const AllSlots result = interpret(all->currentText());
    GuardHold hold(m_state);
    if (result.comboText != all->currentText()) all->setEditText(result.comboText);
    if (result.slotText)
        for (QComboBox* slot : column)
            slot->setEditText(*result.slotText);
}

void LoopGenerator::attachRowRules(int row) {
    QComboBox* direction = m_directions[row];
    auto directionRule = [this, direction] {
        if (m_state.guard) return;
        repairCombo(direction, repairDirection);
        selectLoop();
    };
    connect(direction, &QComboBox::editTextChanged, this, [this, directionRule] {
        if (m_state.guard) return;
        directionRule();
        m_state.focusCycling = false;
    });
    onKey(direction, directionRule);

    for (auto [combo, repair] :
         {std::pair{m_steps[row], &repairStep}, std::pair{m_formats[row], &repairFormat}}) {
        auto rule = [this, combo, repair] {
            if (!m_state.guard) repairCombo(combo, repair);
        };
        connect(combo, &QComboBox::editTextChanged, this, rule);
        onKey(combo, rule);
    }
}

void LoopGenerator::attachAllSlotCombos() {
    const std::pair<QComboBox*, std::function<void()>> combos[] = {
        {m_combo44, [this] { applyAllSlots(m_combo44, allDirections, m_directions); }},
        {m_combo45, [this] { applyAllSlots(m_combo45, allSteps, m_steps); }},
        {m_combo46, [this] { applyAllSlots(m_combo46, allFormats, m_formats); }},
        {m_combo58,
         [this] {
             if (!m_state.guard) repairCombo(m_combo58, repairSideCombo);
         }},
    };
    // A pick applies the entry even when the text stays the same, and so does any key.
    for (const auto& [combo, rule] : combos) {
        connect(combo, &QComboBox::editTextChanged, this, rule);
        connect(combo, &QComboBox::activated, this, rule);
        onKey(combo, rule);
    }
}

void LoopGenerator::attachLoopCount() {
    m_text6->setMaxLength(kLoopCountLength);
    connect(m_text6, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_state.guard || m_state.closing) return;
        const QString repaired = repairLoopCount(text);
        if (repaired == text) return;
        GuardHold hold(m_state);
        m_text6->setText(repaired);
    });
}

void LoopGenerator::attachAddString() {
    connect(m_text30, &QPlainTextEdit::textChanged, this, [this] {
        if (m_state.guard) return;
        m_check4->setChecked(true);
        if (const auto fault = addStringFault(m_text30->text())) {
            GuardHold hold(m_state);
            m_state.informLoaded(*fault);
            m_text30->assign(Text());
        }
    });
    auto tickCheck4 = [this] {
        if (!m_state.guard) m_check4->setChecked(true);
    };
    onKey(m_text30, tickCheck4);
    // The box's mouse events go to its viewport.
    onControlEvent(m_text30->viewport(), ControlEvent::MouseRelease, tickCheck4);
}

void LoopGenerator::attachCheckBoxes() {
    // A row toggles once for every key pressed on it; taking the key keeps Space from toggling
    // it back on release.
    for (QCheckBox* used : m_used) {
        new KeyFilter(used, [this, used](const QKeyEvent& key) {
            if (m_state.guard || !togglesRow(key)) return false;
            selectLoop();
            used->toggle();
            return true;
        });
        auto clicked = [this, used] {
            if (m_state.guard) return;
            selectLoop();
            used->setFocus(Qt::MouseFocusReason);
        };
        onControlEvent(used, ControlEvent::MouseRelease, clicked);
        // The words after the row's direction are part of its caption.
        if (auto* words =
                used->parentWidget()->findChild<QLabel*>(used->objectName() + QStringLiteral(".caption1")))
            onControlEvent(words, ControlEvent::MouseRelease, clicked);
    }

    // The rows follow Check2 after its own toggle by a click or Space, and on any other key or
    // mouse release.
    auto followCheck2 = [this] {
        if (m_state.guard) return;
        GuardHold hold(m_state);
        for (QCheckBox* used : m_used)
            used->setChecked(m_check2->isChecked());
    };
    onKey(m_check2, followCheck2);
    onControlEvent(m_check2, ControlEvent::MouseRelease, followCheck2);
    connect(m_check2, &QCheckBox::clicked, this, followCheck2);

    new KeyFilter(m_check4, [this](const QKeyEvent& key) {
        if (m_state.guard) return false;
        switch (key.key()) {
            case Qt::Key_Shift:
                m_check4->toggle();
                return false;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_check4->toggle();
                return true;
            default:
                return false;
        }
    });
}

void LoopGenerator::allReset() {
    m_check2->setChecked(false);
    m_combo44->setEditText(kAllIncrement);
    m_combo45->setEditText(kAllStepOne);
    m_combo46->setEditText(kAllFormatZero);
    m_text6->setText(kLoopCountStart);
    for (int i = 0; i < kRows; ++i) {
        QCoreApplication::processEvents();
        m_used[i]->setChecked(false);
        m_directions[i]->setEditText(kIncrement);
        m_steps[i]->setEditText(QStringLiteral("1"));
        m_formats[i]->setEditText(QStringLiteral("0"));
    }
    m_text30->assign(Text());
    m_combo58->setEditText(QStringLiteral("左"));
    m_check4->setChecked(false);
    m_state.focusCycling = true;
    m_check3->setChecked(true);
    m_check3->setFocus(Qt::OtherFocusReason);
}

// The controls that set every row at once, which no parameter names.
void nameAllSlotControls(const TabPage& tab) {
    nameControl(tab.named<QCheckBox>("Check2"),
                spoken(QStringLiteral("全ての数値をチェック"), QStringLiteral("Tick every number")));
    nameControl(tab.named<QComboBox>("Combo44"),
                spoken(QStringLiteral("全ての数値の増減"), QStringLiteral("Direction of every number")));
    nameControl(tab.named<QComboBox>("Combo45"),
                spoken(QStringLiteral("全ての数値の連数ステップ"), QStringLiteral("Step of every number")));
    nameControl(tab.named<QComboBox>("Combo46"),
                spoken(QStringLiteral("全ての数値の桁数"), QStringLiteral("Digits of every number")));
}

// A row: its check box with the row's number, its direction in the caption's blank, then its
// step and format.
OperationLine row(int i) {
    return {.selector = check(indexed("Check1", i)).with(Touch::ClearCycling),
            .pieces = {words(QString::number(i + 1) + QStringLiteral("回目の数値を")),
                       combo(indexed("ComboId", i)).with(Touch::SelectOnly),  // its text rule clears the flag
                       words(QStringLiteral("する(&%1)").arg(QLatin1String(kRowKeys[i]))),
                       label(indexed("Label13", i), "連数ステップ："), combo(indexed("ComboStep", i)),
                       label(indexed("Label14", i), "Format："), combo(indexed("ComboFm", i), 90)},
            .operation = QStringLiteral("Check3")};
}

}  // namespace

TabTable loopTable() {
    // Every line belongs to the one operation that Check3 selects.
    const OperationDeclaration& generator = *operationsOnTab(Tab::Loop).front();
    const QString loop = QString::fromStdString(generator.selector);
    std::vector<OperationLine> lines = {
        {.selector = check(loop).with(Touch::ClearCycling),
         .pieces = {words(toQString(generator.caption)), label("Label12", "ループ回数："),
                    textBox("Text6", 60)}},
        {.selector = check("Check2"),
         .pieces = {words("全てチェック(&F)"), combo("Combo44"), combo("Combo45"), combo("Combo46")},
         .operation = loop},
    };
    for (int i = 0; i < kRows; ++i)
        lines.push_back(row(i));
    lines.push_back({.selector = check("Check4").with(Touch::ClearCycling),
                     .pieces = {words("ループ前に数字の"), combo("Combo58").with(Touch::Nothing), words("に"),
                                multiLineBox("Text30", 150).with(Touch::Nothing), words("を追加する(&0)")},
                     .operation = loop});
    return {
        .frameName = QStringLiteral("Frame3"),
        .frameCaption = QStringLiteral("条件3"),
        .firstCode = generator.code,
        .noSelectionMessage = kTickLoopGenerator,
        .lines = std::move(lines),
        .allReset = button("Command24", "AllReset(&X)", 90),
        .underAllReset = textBox("Text10", 14).with(Touch::Nothing),
        .attach =
            [](TabPage& tab) {
                new LoopGenerator(tab);
                nameAllSlotControls(tab);
            },
    };
}

}  // namespace kivo::window
