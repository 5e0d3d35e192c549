#include "window/file_dialog.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QRegularExpression>

namespace kivo::window {
namespace {

template <typename T>
using Entries = std::vector<std::pair<QString, T>>;

const Entries<OpenEncoding> kOpenEncodings{
    {QStringLiteral("自動"), OpenEncoding::Auto},        {QStringLiteral("Shift-JIS"), OpenEncoding::Cp932},
    {QStringLiteral("UTF-8"), OpenEncoding::Utf8},       {QStringLiteral("UTF-16LE"), OpenEncoding::Utf16Le},
    {QStringLiteral("UTF-16BE"), OpenEncoding::Utf16Be}, {QStringLiteral("EUC-JP"), OpenEncoding::EucJp},
};
Entries<TextEncoding> saveEncodings() {
    Entries<TextEncoding> entries;
    for (const TextEncoding encoding : {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8WithMark,
                                        TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::EucJp})
        entries.emplace_back(encodingCaption(encoding), encoding);
    return entries;
}
const Entries<LineBreak> kLineBreaks{
    {QStringLiteral("CrLf"), LineBreak::CrLf},
    {QStringLiteral("Lf"), LineBreak::Lf},
};

// A bare name takes the extension of the chosen file type ("data" is "data.csv" under CSV/TSV);
// under all files it stays as typed.
void followFileType(QFileDialog* dialog) {
    const auto suffixOf = [](const QString& filter) {
        const qsizetype from = filter.indexOf(QStringLiteral("(*."));
        if (from < 0) return QString();
        const qsizetype end = filter.indexOf(QRegularExpression(QStringLiteral("[ )]")), from + 3);
        return filter.mid(from + 3, end - from - 3);
    };
    dialog->setDefaultSuffix(suffixOf(dialog->selectedNameFilter()));
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog, suffixOf](const QString& filter) {
        dialog->setDefaultSuffix(suffixOf(filter));
    });
}

std::unique_ptr<QFileDialog> makeDialog(QWidget* parent, const QString& folder,
                                        QFileDialog::AcceptMode mode) {
    auto dialog = std::make_unique<QFileDialog>(parent, QString(), folder);
    dialog->setNameFilters(kFileFilters);
    dialog->selectNameFilter(kFileFilters.constFirst());
    dialog->setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog, because the choices below go into its layout.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    // Open takes only existing files; save may name a new one, and asks before it replaces an
    // existing one (a name mistyped or a file picked by mistake would be lost), with No as the
    // default answer and the dialog still open to choose another name.
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave) followFileType(dialog.get());
    return dialog;
}

// A labelled choice under the file type row of `dialog`, on `selected` at first.
template <typename T>
QComboBox* addChoice(QFileDialog* dialog, const char* name, const QString& caption, const Entries<T>& entries,
                     T selected) {
    auto* combo = new QComboBox(dialog);
    combo->setObjectName(QLatin1String(name));
    for (const auto& [text, value] : entries) {
        combo->addItem(text);
        if (value == selected) combo->setCurrentIndex(combo->count() - 1);
    }
    auto* label = new QLabel(caption, dialog);
    label->setBuddy(combo);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(combo, row, 1);
    }
    return combo;
}

template <typename T>
T chosen(const QComboBox* combo, const Entries<T>& entries) {
    return entries[static_cast<std::size_t>(std::max(combo->currentIndex(), 0))].second;
}

QString acceptedFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

OpenChoice QtFileDialogs::chooseFileToOpen(const QString& folder) {
    const auto dialog = makeDialog(m_parent, folder, QFileDialog::AcceptOpen);
    QComboBox* encoding = addChoice(dialog.get(), "OpenEncoding", QStringLiteral("文字コード(&E):"),
                                    kOpenEncodings, OpenEncoding::Auto);
    const QString path = acceptedFile(*dialog);
    return {path, chosen(encoding, kOpenEncodings)};
}

SaveChoice QtFileDialogs::chooseFileToSave(const QString& folder, const FileFormat& proposed) {
    const auto dialog = makeDialog(m_parent, folder, QFileDialog::AcceptSave);
    const Entries<TextEncoding> encodings = saveEncodings();
    QComboBox* encoding = addChoice(dialog.get(), "SaveEncoding", QStringLiteral("文字コード(&E):"),
                                    encodings, proposed.encoding);
    QComboBox* lineBreak = addChoice(dialog.get(), "SaveLineBreak", QStringLiteral("改行(&L):"), kLineBreaks,
                                     proposed.lineBreak);
    const QString path = acceptedFile(*dialog);
    return {path, {chosen(encoding, encodings), chosen(lineBreak, kLineBreaks)}};
}

}  // namespace kivo::window
