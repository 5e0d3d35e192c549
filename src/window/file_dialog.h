#pragma once

#include <QString>
#include <QStringList>

#include "window/text_files.h"

class QWidget;

namespace kivo::window {

/// The filters of both file dialogs; the first is selected when a dialog opens.
inline const QStringList kFileFilters{
    QStringLiteral("テキストファイル(*.txt)"),
    QStringLiteral("CSV/TSV(*.csv *.tsv)"),
    QStringLiteral("すべてのファイル(*)"),
};

/// The file chosen to open and the encoding to read it in; an empty path on Cancel.
struct OpenChoice {
    QString path;
    OpenEncoding encoding = OpenEncoding::Auto;
};

/// The file chosen to write and the format to write it in; an empty path on Cancel.
struct SaveChoice {
    QString path;
    FileFormat format;
};

/// The open and save dialogs (`CommonDialog1`), behind an interface so tests can choose a file
/// or cancel without a modal dialog. Both start in `folder` (the current folder when empty).
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    /// An existing file, with the encoding to read it in.
    virtual OpenChoice chooseFileToOpen(const QString& folder) = 0;
    /// A file to write, in `proposed` unless the user chooses another format; an existing file
    /// only once the user has agreed to replace it.
    virtual SaveChoice chooseFileToSave(const QString& folder, const FileFormat& proposed) = 0;
};

/// Real modal Qt file dialogs, with the encoding (and on saving the line break) below the file
/// type.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : m_parent(parent) {}
    OpenChoice chooseFileToOpen(const QString& folder) override;
    SaveChoice chooseFileToSave(const QString& folder, const FileFormat& proposed) override;

private:
    QWidget* m_parent;
};

}  // namespace kivo::window
