#include "window/file_dialog.h"

#include <QFileDialog>

namespace kivo::window {
namespace {

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString(), QString(), kTextFileFilter);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(mode);
    // Open takes only existing files; save may name a new one and replaces an existing one
    // without asking, as the save command has always done.
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString QtFileDialogs::openFileName() {
    return chooseFile(m_parent, QFileDialog::AcceptOpen);
}

QString QtFileDialogs::saveFileName() {
    return chooseFile(m_parent, QFileDialog::AcceptSave);
}

}  // namespace kivo::window
