#include "window/message_box.h"

#include <QMessageBox>

namespace kivo::window {

void QtMessageBoxes::show(Icon icon, const QString& text) {
    const QMessageBox::Icon qtIcon = icon == Icon::Exclamation ? QMessageBox::Warning
                                     : icon == Icon::Question  ? QMessageBox::Question
                                                               : QMessageBox::Information;
    QMessageBox box(qtIcon, kMessageTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

Answer QtMessageBoxes::ask(const QString& question) {
    QMessageBox box(QMessageBox::Question, kMessageTitle, question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

Answer ScriptedMessageBoxes::ask(const QString& question) {
    m_shown.append({Icon::Question, question});
    if (m_answers.empty()) return Answer::Yes;
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList out;
    for (const Shown& s : m_shown)
        out.append(s.text);
    return out;
}

}  // namespace kivo::window
