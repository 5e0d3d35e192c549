#pragma once

#include <QDateEdit>

namespace kivo::window {

/// A date picker (`DTPicker1`–`DTPicker3`) that, besides the part-by-part editing of a date edit,
/// takes a whole date typed over its whole text (after Ctrl+A): yyyy/mm/dd, with "-" or "." for
/// "/", full-width digits, or eight digits. Tab, Enter or leaving the picker sets the date it
/// reads; a text that is no date leaves the date as it was, and so does Escape. A click on it
/// changes no date; the calendar opens from its button.
class DatePicker final : public QDateEdit {
    Q_OBJECT

public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    bool wholeTextSelected() const;
    /// Ends the typing of a whole date: its date when it reads as one, else the date before it.
    void finishTyping(bool keep);

    // A date edit fits what is typed into the part the cursor is in and hops from part to part,
    // which turns "2028/03/05" typed over the whole text into another date: while a whole date is
    // typed, the text is the user's own until it is finished.
    bool m_typing = false;
};

}  // namespace kivo::window
