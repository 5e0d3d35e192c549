#include "window/tab_loop.h"

#include <algorithm>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ops/lists.h"
#include "window/control_events.h"
#include "window/rules.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

QString indexed(const char* array, int i) {
    return QString::fromStdString(arrayName(array, i));
}

// The rows' access keys, first to seventeenth.
constexpr const char* kRowKeys[TabLoop::kRows] = {"G", "H", "I", "J", "K", "L", "M", "N", "O",
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

}  // namespace

TabLoop::TabLoop(WindowState& state, QWidget* parent)
    : TabPage(QStringLiteral("Frame3"), QStringLiteral("条件3"), state, parent) {
    m_check3 = checkBox("Check3");
    QLabel* label12 = label("Label12", "ループ回数：");
    m_text6 = textBox("Text6", 60);
    addCaptionLine(m_check3, "個々の数字をインクリメントまたはデクリメントしてループ追加する(&E)", {},
                   {label12, m_text6});
    m_check2 = checkBox("Check2");
    m_combo44 = combo("Combo44");
    m_combo45 = combo("Combo45");
    m_combo46 = combo("Combo46");
    addCaptionLine(m_check2, "全てチェック(&F)", {}, {m_combo44, m_combo45, m_combo46});

    int checkWidth = 0;
    for (int i = 0; i < kRows; ++i) {
        const QString caption = QString::number(i + 1) +
                                QStringLiteral("回目の数値を　　　　　　　　　　　　 する(&") +
                                QLatin1String(kRowKeys[i]) + QStringLiteral(")");
        m_used[i] = checkBox(indexed("Check1", i));
        m_directions[i] = combo(indexed("ComboId", i));
        QLabel* stepLabel = label(indexed("Label13", i), "連数ステップ：");
        m_steps[i] = combo(indexed("ComboStep", i));
        QLabel* formatLabel = label(indexed("Label14", i), "Format：");
        m_formats[i] = combo(indexed("ComboFm", i), 90);
        addCaptionLine(m_used[i], caption, {{m_directions[i]}},
                       {stepLabel, m_steps[i], formatLabel, m_formats[i]});
        checkWidth = std::max(checkWidth, m_used[i]->sizeHint().width());
    }
    // The rows line up in columns whatever the width of their number.
    for (QCheckBox* used : m_used)
        used->setFixedWidth(checkWidth);

    m_check4 = checkBox("Check4");
    m_combo58 = combo("Combo58");
    m_text30 = multiLineBox("Text30", 150);
    addCaptionLine(m_check4, "ループ前に数字の            に                             を追加する(&0)",
                   {{m_combo58}, {m_text30}});

    auto* allResetButton = button("Command24", "AllReset(&X)", 90);
    QLineEdit* text10 = textBox("Text10", 14);
    addAllResetLine(allResetButton, text10);
    chainFocusAlongLines();

    for (int i = 0; i < kRows; ++i)
        attachRowRules(i);
    attachAllSlotCombos();
    attachLoopCount();
    attachAddString();
    attachCheckBoxes();
    attachSelection();
    onAllReset(allResetButton, [this] { allReset(); });
}

void TabLoop::selectLoop() {
    m_check3->setChecked(true);
}

void TabLoop::repairCombo(QComboBox* combo, QString (*repair)(const QString&)) {
    const QString text = combo->currentText();
    const QString repaired = repair(text);
    if (repaired == text) return;
    GuardHold hold(m_state);
    combo->setEditText(repaired);
}

void TabLoop::applyAllSlots(QComboBox* all, AllSlots (*interpret)(const QString&), const Column& column) {
    if (m_state.guard) return;
    const AllSlots result = interpret(all->currentText());
    GuardHold hold(m_state);
    if (result.comboText != all->currentText()) all->setEditText(result.comboText);
    if (result.slotText)
        for (QComboBox* slot : column)
            slot->setEditText(*result.slotText);
}

void TabLoop::attachRowRules(int row) {
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

void TabLoop::attachAllSlotCombos() {
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

void TabLoop::attachLoopCount() {
    m_text6->setMaxLength(kLoopCountLength);
    connect(m_text6, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_state.guard || m_state.closing) return;
        const QString repaired = repairLoopCount(text);
        if (repaired == text) return;
        GuardHold hold(m_state);
        m_text6->setText(repaired);
    });
}

void TabLoop::attachAddString() {
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

void TabLoop::attachCheckBoxes() {
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
        if (auto* words = findChild<QLabel*>(used->objectName() + QStringLiteral(".caption1")))
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

void TabLoop::attachSelection() {
    auto selectAndClear = [this] {
        selectLoop();
        m_state.focusCycling = false;
    };
    auto clearOnly = [this] { m_state.focusCycling = false; };

    std::vector<QWidget*> selecting = {m_check2, m_text6, m_combo44, m_combo45, m_combo46};
    selecting.insert(selecting.end(), m_steps.begin(), m_steps.end());
    selecting.insert(selecting.end(), m_formats.begin(), m_formats.end());
    for (QWidget* control : selecting)
        onControlEvent(control, ControlEvent::FocusIn, selectAndClear);
    // The directions leave the flag to their text-change rule.
    for (QComboBox* direction : m_directions)
        onControlEvent(direction, ControlEvent::FocusIn, [this] { selectLoop(); });
    std::vector<QWidget*> clearing = {m_check3, m_check4};
    clearing.insert(clearing.end(), m_used.begin(), m_used.end());
    for (QWidget* control : clearing)
        onControlEvent(control, ControlEvent::FocusIn, clearOnly);

    onControlEvent(named<QLabel>("Label12"), ControlEvent::MouseRelease, selectAndClear);
    for (int i = 0; i < kRows; ++i)
        for (const char* array : {"Label13", "Label14"})
            onControlEvent(findChild<QLabel*>(indexed(array, i)), ControlEvent::MouseRelease, selectAndClear);
}

void TabLoop::allReset() {
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

}  // namespace kivo::window
