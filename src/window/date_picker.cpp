#include "window/date_picker.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "text/dates.h"
#include "window/qtext.h"

namespace kivo::window {
namespace {

// A typed date as parseDate reads it: full-width digits as digits, "-", "." and their full-width
// forms as "/", and yyyymmdd as yyyy/mm/dd.
std::optional<Date> typedDate(const QString& typed) {
    QString text;
    for (QChar c : typed.trimmed()) {
        if (c >= u'０' && c <= u'９') c = QChar(u'0' + (c.unicode() - u'０'));
        if (c == u'-' || c == u'.' || c == u'／' || c == u'－' || c == u'．') c = u'/';
        text += c;
    }
    if (text.size() == 8 && !text.contains(u'/'))
        text = text.left(4) + u'/' + text.mid(4, 2) + u'/' + text.mid(6);
    return parseDate(toText(text));
}

bool editsTheTypedText(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

bool typesText(const QKeyEvent* event) {
    return !event->text().isEmpty() && event->text().front().isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    lineEdit()->installEventFilter(this);
}

// A click into the text moves the cursor among the parts again: the typed date is finished first.
bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (m_typing && watched == lineEdit() && event->type() == QEvent::MouseButtonPress) finishTyping(true);
    return QDateEdit::eventFilter(watched, event);
}

bool DatePicker::wholeTextSelected() const {
    return lineEdit()->hasSelectedText() && lineEdit()->selectedText() == lineEdit()->text();
}

// Qt reads a press on the frame or beside the text of a date edit with a calendar button as a
// press on a spin box's up or down button (the same sub-control numbers), and steps the year:
// only the button does anything here, and the text takes the focus and the cursor as it is.
void DatePicker::mousePressEvent(QMouseEvent* event) {
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QStyle::SubControl pressed =
        style()->hitTestComplexControl(QStyle::CC_ComboBox, &option, event->position().toPoint(), this);
    if (pressed == QStyle::SC_ComboBoxArrow)
        QDateEdit::mousePressEvent(event);
    else
        event->accept();
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    if (!m_typing && typesText(event) && wholeTextSelected()) m_typing = true;
    if (!m_typing) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    if (typesText(event) || editsTheTypedText(event)) {
        // The date edit follows its text and its cursor part by part and would set the text
        // back to the last date: until the typing is finished, the text is not its to follow.
        const QSignalBlocker quiet(lineEdit());
        lineEdit()->event(event);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        finishTyping(false);
        event->accept();
        return;
    }
    // Enter, the arrows up and down, and every other key act on the date once it is set.
    finishTyping(true);
    QDateEdit::keyPressEvent(event);
}

void DatePicker::focusOutEvent(QFocusEvent* event) {
    if (m_typing) finishTyping(true);
    QDateEdit::focusOutEvent(event);
}

// Tab after a whole date goes on to the next control rather than into a part of the date.
bool DatePicker::focusNextPrevChild(bool next) {
    if (!m_typing) return QDateEdit::focusNextPrevChild(next);
    finishTyping(true);
    return QWidget::focusNextPrevChild(next);
}

// A text on its way to a date is never refused, nor taken as a date before it is finished.
QValidator::State DatePicker::validate(QString& input, int& pos) const {
    if (m_typing) return QValidator::Intermediate;
    return QDateEdit::validate(input, pos);
}

void DatePicker::finishTyping(bool keep) {
    const QString typed = lineEdit()->text();
    m_typing = false;
    const std::optional<Date> d = keep ? typedDate(typed) : std::nullopt;
    // Set again, the date the picker had is shown again in place of the text.
    setDate(d ? QDate(d->year, d->month, d->day) : date());
}

}  // namespace kivo::window
