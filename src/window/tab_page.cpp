#include "window/tab_page.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ops/lists.h"
#include "window/control_events.h"
#include "window/controls.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}

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

}  // namespace

std::vector<CaptionPiece> captionPieces(const QString& caption) {
    std::vector<CaptionPiece> pieces;
    qsizetype i = 0;
    const qsizetype n = caption.size();
    QString words;
    while (i < n) {
        qsizetype j = i;
        while (j < n && isBlank(caption[j]))
            ++j;
        const qsizetype run = j - i;
        if (run > 0 && (run >= 2 || i == 0 || j == n)) {
            if (!words.isEmpty()) pieces.push_back({words, false});
            words.clear();
            pieces.push_back({QString(), true});
            i = j;
            continue;
        }
        words += caption.mid(i, run);  // a single space between words
        i = j;
        while (i < n && !isBlank(caption[i]))
            words += caption[i++];
    }
    if (!words.isEmpty()) pieces.push_back({words, false});
    return pieces;
}

TabPage::TabPage(const QString& frameName, const QString& frameCaption, WindowState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_frame(new QGroupBox(frameCaption, this)), m_lines(new QVBoxLayout) {
    m_frame->setObjectName(frameName);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->addWidget(m_frame);
    m_lines->setContentsMargins(3, 2, 2, 3);
    m_lines->setSpacing(2);
    m_frame->setLayout(m_lines);
}

QComboBox* TabPage::combo(const QString& name, int maxWidth) {
    auto* c = new QComboBox(m_frame);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->setMaxVisibleItems(20);
    c->setFixedHeight(kLineHeight);
    // Wide enough for the longest entry (up to maxWidth); the list may be wider than the box.
    int widest = fontMetrics().horizontalAdvance(QStringLiteral("0"));
    for (const Text& entry : comboList(name.toStdString()).entries)
        widest = std::max(widest, fontMetrics().horizontalAdvance(toQString(entry)));
    const int chrome = 22;
    c->setFixedWidth(std::min(widest + chrome, maxWidth));
    c->view()->setMinimumWidth(widest + chrome);
    return c;
}

QLineEdit* TabPage::textBox(const QString& name, int width) {
    auto* t = new QLineEdit(toQString(loadDefault(name.toStdString())), m_frame);
    t->setObjectName(name);
    t->setFixedSize(width, kLineHeight);
    t->setTextMargins(1, 0, 1, 0);
    return t;
}

PlainTextBox* TabPage::multiLineBox(const QString& name, int width) {
    auto* t = new PlainTextBox(m_frame);
    t->setObjectName(name);
    t->setFixedSize(width, kLineHeight);
    t->document()->setDocumentMargin(1);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    t->setTabChangesFocus(true);
    return t;
}

QLabel* TabPage::label(const QString& name, const QString& caption) {
    auto* l = new QLabel(caption, m_frame);
    l->setObjectName(name);
    l->setFixedHeight(kLineHeight);
    // Words never shrink: a line too long for its frame shows at its end instead of clipping them.
    l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return l;
}

QPushButton* TabPage::button(const QString& name, const QString& caption, int width) {
    auto* b = new QPushButton(caption, m_frame);
    b->setObjectName(name);
    b->setFixedSize(width, kLineHeight + 2);
    b->setAutoDefault(false);
    return b;
}

QPushButton* TabPage::resetButton(const QString& name) {
    return button(name, QStringLiteral("Reset"), 44);
}

QRadioButton* TabPage::option(const QString& name) {
    auto* r = new QRadioButton(m_frame);
    r->setObjectName(name);
    r->setFixedHeight(kLineHeight);
    return r;
}

QCheckBox* TabPage::checkBox(const QString& name, const QString& caption) {
    auto* c = new QCheckBox(caption, m_frame);
    c->setObjectName(name);
    c->setFixedHeight(kLineHeight);
    return c;
}

QDateEdit* TabPage::datePicker(const QString& name) {
    auto* d = new QDateEdit(QDate::currentDate(), m_frame);
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    d->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    d->setFixedSize(98, kLineHeight);
    return d;
}

void TabPage::addCaptionLine(QAbstractButton* selector, const QString& caption,
                             const std::vector<std::vector<QWidget*>>& stretches,
                             const std::vector<QWidget*>& after) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    selector->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(selector);
    addStops({selector});
    const std::vector<CaptionPiece> pieces = captionPieces(caption);
    std::size_t next = 0;
    std::size_t stretch = 0;
    if (!pieces.empty() && !pieces[0].blank) {
        selector->setText(pieces[0].text);
        next = 1;
    } else {
        // A caption that starts with a blank stretch: its first control starts where the words of
        // the other lines do, not against the bare indicator.
        const bool check = qobject_cast<QCheckBox*>(selector) != nullptr;
        const int gap = selector->style()->pixelMetric(
            check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, selector);
        row->addSpacing(std::max(0, gap - row->spacing()));
    }
    int labelNumber = 0;
    for (; next < pieces.size(); ++next) {
        if (pieces[next].blank) {
            if (stretch < stretches.size()) {
                for (QWidget* w : stretches[stretch])
                    row->addWidget(w);
                addStops(stretches[stretch]);
            }
            ++stretch;
            continue;
        }
        auto* words =
            label(selector->objectName() + QStringLiteral(".caption") + QString::number(++labelNumber),
                  pieces[next].text);
        if (pieces[next].text.contains(u'&')) words->setBuddy(selector);
        // The words are the selector's caption: releasing the mouse over them clicks it.
        onControlEvent(words, ControlEvent::MouseRelease, [selector] { selector->click(); });
        row->addWidget(words);
    }
    Q_ASSERT(stretch >= stretches.size());
    for (QWidget* w : after)
        row->addWidget(w);
    addStops(after);
    row->addStretch(1);
    m_lines->addLayout(row);
}

void TabPage::addLine(const std::vector<QWidget*>& widgets, int indent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addSpacing(indent);
    for (QWidget* w : widgets)
        row->addWidget(w);
    addStops(widgets);
    row->addStretch(1);
    m_lines->addLayout(row);
}

void TabPage::addAllResetLine(QPushButton* allReset, QWidget* under, const std::vector<QWidget*>& before) {
    m_lines->addStretch(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    for (QWidget* w : before)
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(allReset);
    m_lines->addLayout(row);
    addStops(before);
    addStops({allReset});
    if (under) {
        under->setParent(m_frame);
        new LieUnder(under, allReset);
        // Listed after its button, and so never reached by Tab: leaving the button by Tab
        // moves on to the next tab.
        addStops({under});
    }
}

void TabPage::addStops(const std::vector<QWidget*>& widgets) {
    for (QWidget* w : widgets)
        if (w->focusPolicy() & Qt::TabFocus) m_stops.push_back(w);
}

void TabPage::chainFocusAlongLines() {
    for (std::size_t i = 1; i < m_stops.size(); ++i)
        setTabOrder(m_stops[i - 1], m_stops[i]);
}

void TabPage::onClick(QPushButton* button, std::function<void()> action) {
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        if (m_state.guard) return;
        GuardHold hold(m_state);
        action();
    });
}

void TabPage::resetOnClick(QPushButton* button, std::initializer_list<const char*> names) {
    std::vector<const char*> list(names);
    onClick(button, [this, list] {
        for (const char* name : list)
            m_controls->restoreDefault(name);
    });
}

void TabPage::onAllReset(QPushButton* button, std::function<void()> action) {
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        m_state.focusCycling = true;
        if (m_state.guard) return;
        GuardHold hold(m_state);
        action();
    });
}

void TabPage::restoreDefaults(std::initializer_list<const char*> names) const {
    for (const char* name : names)
        m_controls->restoreDefault(name);
}

}  // namespace kivo::window
