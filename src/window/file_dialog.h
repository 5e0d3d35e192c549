#pragma once

#include <QString>

class QWidget;

namespace kivo::window {

/// The filter of both file dialogs, as Qt writes "テキストファイル(*.txt)|*.txt".
inline const QString kTextFileFilter = QStringLiteral("テキストファイル(*.txt)");

/// The open and save dialogs (`CommonDialog1`), behind an interface so tests can choose a file
/// or cancel without a modal dialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    /// The chosen existing file, or an empty name on Cancel.
    virtual QString openFileName() = 0;
    /// The chosen file to write, or an empty name on Cancel.
    virtual QString saveFileName() = 0;
};

/// Real modal Qt file dialogs.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : m_parent(parent) {}
    QString openFileName() override;
    QString saveFileName() override;

private:
    QWidget* m_parent;
};

}  // namespace kivo::window
