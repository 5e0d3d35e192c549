#include "window/tab_page.h"

#include <algorithm>
#include <stdexcept>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "ops/registry.h"
#include "window/control_events.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/date_picker.h"
#include "window/focus_stand_in.h"
#include "window/qtext.h"
#include "window/spoken_names.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// Height of one control line, and the indent of an operation's further lines.
constexpr int kLineHeight = 20;
constexpr int kIndent = 20;

// Keeps a small box exactly beneath a button, outside any layout.
class LieUnder final : public QObject {
public:
    LieUnder(QWidget* under, QWidget* over) : QObject(under), m_under(under), m_over(over) {
        over->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::Show) {
            const QRect g = m_over->geometry();
            m_under->setGeometry(g.x() + 2, g.y() + 2, std::min(g.width(), 18), g.height() - 4);
            m_under->stackUnder(m_over);
        }
        return false;
    }

private:
    QWidget* m_under;
    QWidget* m_over;
};

QComboBox* makeCombo(QWidget* frame, const Piece& piece) {
    auto* c = new QComboBox(frame);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->setMaxVisibleItems(20);
    c->setFixedHeight(kLineHeight);
    // Wide enough for the longest entry (up to the piece's width); the list may be wider.
    const QFontMetrics metrics = frame->fontMetrics();
    int widest = metrics.horizontalAdvance(QStringLiteral("0"));
    for (const Text& entry : comboList(piece.name.toStdString()).entries)
        widest = std::max(widest, metrics.horizontalAdvance(toQString(entry)));
    const int chrome = 22;
    c->setFixedWidth(std::min(widest + chrome, piece.width));
    c->view()->setMinimumWidth(widest + chrome);
    return c;
}

QLineEdit* makeTextBox(QWidget* frame, const Piece& piece) {
    auto* t = new QLineEdit(toQString(loadDefault(piece.name.toStdString())), frame);
    t->setFixedSize(piece.width, kLineHeight);
    t->setTextMargins(1, 0, 1, 0);
    return t;
}

PlainTextBox* makeMultiLineBox(QWidget* frame, const Piece& piece) {
    auto* t = new PlainTextBox(frame);
    t->setFixedSize(piece.width, kLineHeight);
    t->document()->setDocumentMargin(1);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    t->setTabChangesFocus(true);
    return t;
}

QLabel* makeLabel(QWidget* frame, const QString& caption) {
    auto* l = new QLabel(caption, frame);
    l->setFixedHeight(kLineHeight);
    // Words never shrink: a line too long for its frame shows at its end instead of clipping them.
    l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return l;
}

QPushButton* makeButton(QWidget* frame, const Piece& piece) {
    auto* b = new QPushButton(piece.text, frame);
    b->setFixedSize(piece.width, kLineHeight + 2);
    b->setAutoDefault(false);
    return b;
}

QDateEdit* makeDatePicker(QWidget* frame) {
    auto* d = new DatePicker(frame);
    d->setDate(QDate::currentDate());
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    d->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    d->setFixedSize(98, kLineHeight);
    return d;
}

bool isControl(const Piece& piece) {
    return piece.kind != Piece::Kind::Words;
}

}  // namespace

TabPage::TabPage(TabTable table, WindowState& state, QWidget* parent)
    : QWidget(parent),
      m_table(std::move(table)),
      m_state(state),
      m_frame(new QGroupBox(m_table.frameCaption, this)),
      m_lines(new QVBoxLayout) {
    m_frame->setObjectName(m_table.frameName);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    // A window smaller than the frame scrolls it rather than cutting its lines off.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_frame);
    outer->addWidget(scroll);
    // Whatever brings a control the focus (Tab, an access key, a click on its label) shows it
    // whole: for a text box ensureWidgetVisible shows only its cursor.
    connect(qApp, &QApplication::focusChanged, scroll, [scroll](QWidget*, QWidget* now) {
        if (!now || !scroll->widget()->isAncestorOf(now)) return;
        const QRect shown(now->mapTo(scroll->widget(), QPoint(0, 0)), now->size());
        scroll->ensureVisible(shown.center().x(), shown.center().y(), shown.width() / 2 + 4,
                              shown.height() / 2 + 4);
    });
    m_lines->setContentsMargins(3, 2, 2, 3);
    m_lines->setSpacing(2);
    m_frame->setLayout(m_lines);

    QAbstractButton* operation = nullptr;
    for (const OperationLine& line : m_table.lines) {
        if (line.selector) create(*line.selector);
        if (!line.operation.isEmpty()) {
            operation = named<QAbstractButton>(line.operation);
        } else if (line.selector) {
            operation = named<QAbstractButton>(line.selector->name);
        }
        if (std::find(m_operations.begin(), m_operations.end(), operation) == m_operations.end())
            m_operations.push_back(operation);
        addLine(line, operation);
    }
    addAllResetLine();
    describeOperations();
    // The Tab order follows the lines, each left to right, whatever order the controls were
    // created in.
    for (std::size_t i = 1; i < m_stops.size(); ++i)
        setTabOrder(m_stops[i - 1], m_stops[i]);
    if (m_table.attach) m_table.attach(*this);
}

QWidget* TabPage::create(const Piece& piece) {
    QWidget* w = nullptr;
    switch (piece.kind) {
        case Piece::Kind::Words:
            return nullptr;
        case Piece::Kind::Option:
            w = new QRadioButton(m_frame);
            w->setFixedHeight(kLineHeight);
            break;
        case Piece::Kind::Check:
            w = new QCheckBox(piece.text, m_frame);
            w->setFixedHeight(kLineHeight);
            break;
        case Piece::Kind::Combo:
            w = makeCombo(m_frame, piece);
            break;
        case Piece::Kind::TextBox:
            w = makeTextBox(m_frame, piece);
            break;
        case Piece::Kind::MultiLineBox:
            w = makeMultiLineBox(m_frame, piece);
            break;
        case Piece::Kind::Label:
            w = makeLabel(m_frame, piece.text);
            break;
        case Piece::Kind::Reset:
        case Piece::Kind::Button:
            w = makeButton(m_frame, piece);
            break;
        case Piece::Kind::DatePicker:
            w = makeDatePicker(m_frame);
            break;
        case Piece::Kind::Parameter:
        case Piece::Kind::NextLine:
            throw std::logic_error("a layout piece is not a control");
    }
    w->setObjectName(piece.name);
    if (w->focusPolicy() & Qt::TabFocus) m_stops.push_back(w);
    if (piece.parameter) m_parameters.append(piece.name);
    if (piece.kind == Piece::Kind::Reset) {
        const QStringList restores = piece.restores;
        onClick(static_cast<QPushButton*>(w), [this, restores] {
            for (const QString& name : restores)
                m_controls->restoreDefault(name.toStdString());
        });
    }
    return w;
}

void TabPage::addLine(const OperationLine& line, QAbstractButton* operation) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    std::size_t next = 0;
    QAbstractButton* selector = nullptr;
    if (!line.selector) {
        row->addSpacing(kIndent);
    } else {
        selector = named<QAbstractButton>(line.selector->name);
        selector->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row->addWidget(selector);
        selectOnTouch(selector, *line.selector, operation);
        m_lineControls.push_back({selector, operation, *line.selector});
        if (!line.pieces.empty() && !isControl(line.pieces.front())) {
            selector->setText(line.pieces.front().text);
            next = 1;
        } else {
            // A caption that starts with a control: the control starts where the words of the
            // other lines do, not against the bare indicator.
            const bool box = qobject_cast<QCheckBox*>(selector) != nullptr;
            const int gap = selector->style()->pixelMetric(
                box ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr,
                selector);
            row->addSpacing(std::max(0, gap - row->spacing()));
        }
    }
    // Words on a further line are still the caption of the operation's selector.
    QAbstractButton* captioned = selector ? selector : operation;
    int wordsNumber = static_cast<int>(captionWords(captioned).size());
    for (; next < line.pieces.size(); ++next) {
        const Piece& piece = line.pieces[next];
        if (isControl(piece)) {
            QWidget* control = create(piece);
            row->addWidget(control);
            m_lineControls.push_back({control, operation, piece});
            selectOnTouch(control, piece, operation);
            continue;
        }
        QLabel* words = makeLabel(m_frame, piece.text);
        words->setObjectName(captioned->objectName() + QStringLiteral(".caption") +
                             QString::number(++wordsNumber));
        if (piece.text.contains(u'&')) words->setBuddy(captioned);
        // The words are the selector's caption: releasing the mouse over them clicks it.
        onControlEvent(words, ControlEvent::MouseRelease, [captioned] { captioned->click(); });
        row->addWidget(words);
    }
    row->addStretch(1);
    m_lines->addLayout(row);
}

void TabPage::addAllResetLine() {
    m_lines->addStretch(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addStretch(1);
    m_allReset = static_cast<QPushButton*>(create(m_table.allReset));
    row->addWidget(m_allReset);
    m_lines->addLayout(row);
    // Created after its button, the box follows it in the Tab order and so is never reached by
    // Tab: leaving the button by Tab moves on to the next tab.
    if (m_table.underAllReset) {
        m_underAllReset = create(*m_table.underAllReset);
        new LieUnder(m_underAllReset, m_allReset);
        showFocusOf(m_underAllReset, m_allReset);
    }
}

void TabPage::selectOnTouch(QWidget* control, const Piece& piece, QAbstractButton* operation) {
    if (piece.touch == Touch::Nothing) return;
    const ControlEvent touched =
        piece.kind == Piece::Kind::Label ? ControlEvent::MouseRelease : ControlEvent::FocusIn;
    onControlEvent(control, touched, [this, operation, touch = piece.touch] {
        if (touch != Touch::ClearCycling) operation->setChecked(true);
        if (touch != Touch::SelectOnly) m_state.focusCycling = false;
    });
}

std::optional<std::uint8_t> TabPage::selectedCode() const {
    const auto selected = std::find_if(m_operations.begin(), m_operations.end(),
                                       [](const QAbstractButton* b) { return b->isChecked(); });
    if (selected != m_operations.end())
        return static_cast<std::uint8_t>(m_table.firstCode + (selected - m_operations.begin()));
    if (!m_table.noSelectionMessage.isEmpty()) return std::nullopt;
    return static_cast<std::uint8_t>(m_table.firstCode + static_cast<int>(m_operations.size()) - 1);
}

void TabPage::describeOperations() {
    for (std::size_t i = 0; i < m_operations.size(); ++i) {
        const int code = m_table.firstCode + static_cast<int>(i);
        if (!isOperationCode(code)) continue;
        const OperationDeclaration& op = operation(code);
        QAbstractButton* selector = m_operations[i];
        if (selector->objectName() != QString::fromStdString(op.selector)) continue;
        const QString tip = operationTip(op);
        const QString description = operationDescription(op);
        selector->setToolTip(tip);
        selector->setAccessibleDescription(description);
        for (QLabel* words : captionWords(selector)) {
            words->setToolTip(tip);
            words->setAccessibleDescription(description);
        }
        nameLineControls(op, selector);
    }
    nameTabControls();
}

void TabPage::nameLineControls(const OperationDeclaration& op, QAbstractButton* selector) {
    // The parameters stand in the caption's blanks in the order of the lines.
    std::vector<const ParamDeclaration*> params;
    for (const LineControl& c : m_lineControls)
        if (c.operation == selector)
            if (const ParamDeclaration* p = op.paramAliased(c.control->objectName().toStdString()))
                params.push_back(p);
    const auto blanks = static_cast<std::size_t>(std::count(op.caption.begin(), op.caption.end(), u'…'));
    const QString name = operationName(
        op, {params.begin(), params.begin() + static_cast<std::ptrdiff_t>(std::min(blanks, params.size()))});
    selector->setAccessibleName(name);
    for (const LineControl& c : m_lineControls) {
        if (c.operation != selector || c.control == selector) continue;
        if (const ParamDeclaration* p = op.paramAliased(c.control->objectName().toStdString())) {
            nameControl(c.control, parameterName(*p), name);
        } else if (c.piece.kind == Piece::Kind::Reset) {
            QStringList only;
            if (static_cast<std::size_t>(c.piece.restores.size()) < params.size())
                for (const QString& restored : c.piece.restores)
                    if (const ParamDeclaration* part = op.paramAliased(restored.toStdString()))
                        only.append(parameterName(*part));
            nameControl(c.control, resetName(name, only));
        } else if (c.control->accessibleName().isEmpty() && c.piece.kind != Piece::Kind::Label) {
            // The small boxes beside operations without parameters: touching one selects it.
            nameControl(c.control,
                        spoken(QStringLiteral("選択用の欄：%1"), QStringLiteral("Selects: %1")).arg(name));
        }
    }
}

void TabPage::nameTabControls() {
    QString tabNumber = m_table.frameName;
    tabNumber.remove(QStringLiteral("Frame"));
    const QString tab = spoken(m_table.frameCaption, QStringLiteral("tab ") + tabNumber);
    nameControl(m_allReset, spoken(QStringLiteral("AllReset：%1"), QStringLiteral("AllReset: %1")).arg(tab),
                spoken(QStringLiteral("%1のすべての設定を初期値に戻します。"),
                       QStringLiteral("Sets everything on %1 back to its start value."))
                    .arg(tab));
    if (m_underAllReset)
        nameControl(m_underAllReset,
                    spoken(QStringLiteral("補助の欄：%1"), QStringLiteral("Helper box: %1")).arg(tab));
}

std::vector<QLabel*> TabPage::captionWords(const QAbstractButton* selector) const {
    std::vector<QLabel*> out;
    const QString prefix = selector->objectName() + QStringLiteral(".caption");
    for (QLabel* l : m_frame->findChildren<QLabel*>())
        if (l->objectName().startsWith(prefix)) out.push_back(l);
    return out;
}

void TabPage::onClick(QPushButton* button, std::function<void()> action) {
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        if (m_state.guard) return;
        GuardHold hold(m_state);
        action();
    });
}

void TabPage::onAllReset(std::function<void()> action) {
    connect(m_allReset, &QPushButton::clicked, this, [this, action = std::move(action)] {
        m_state.focusCycling = true;
        if (m_state.guard) return;
        GuardHold hold(m_state);
        action();
    });
}

void TabPage::restoreAllOnAllReset() {
    onAllReset([this] {
        restoreDefaults(m_parameters);
        selectFirstOperation();
    });
}

void TabPage::restoreDefaults(const QStringList& names) const {
    for (const QString& name : names)
        m_controls->restoreDefault(name.toStdString());
}

void TabPage::selectFirstOperation() const {
    QAbstractButton* first = m_operations.front();
    first->setChecked(true);
    first->setFocus(Qt::OtherFocusReason);
}

}  // namespace kivo::window
