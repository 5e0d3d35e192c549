#include "window/pane_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kivo::window {
namespace {

QString withLfBreaks(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

QString QtClipboard::text() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

bool QtClipboard::setText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->clear();
    clipboard->setText(text);
    // Qt reports no failure of its own: the clipboard took the text when it gives it back (some
    // platforms rewrite the line breaks on the way).
    return withLfBreaks(clipboard->text()) == withLfBreaks(text);
}

}  // namespace kivo::window
