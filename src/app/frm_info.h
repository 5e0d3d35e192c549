#pragma once

#include <QString>
#include <QWidget>

#include "text/lines.h"

class QCheckBox;

namespace kivo::window {
class FrmMain;
class PlainTextBox;
}  // namespace kivo::window

namespace kivo::app {

inline const QString kNoticesCaption = QStringLiteral("Kivoオートフィル お知らせ");

/// The notice on show and the record it was compared with; they live for the whole run.
struct NoticeRecord {
    /// InfoLog.txt, in the program folder or the user's data folder.
    QString logPath;
    Text notice;
    /// The notices log as read at start-up; grows by the notice when the window closes.
    Text log;
    /// The log could not be read: the file is never rewritten from what little was read.
    bool logUnreadable = false;
};

/// The notices window: the notice as read-only plain text, a box to tick once it has been read,
/// and a close button. Closing it records a ticked notice in InfoLog.txt and shows the main window
/// once start-up has finished.
class FrmInfo : public QWidget {
    Q_OBJECT

public:
    FrmInfo(window::FrmMain& main, NoticeRecord& record, QWidget* parent = nullptr);

    /// Whether the box "お知らせを確認しました" is ticked.
    bool acknowledged() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void closeByButton();
    void waitForStartUp();

    window::FrmMain& m_main;
    NoticeRecord& m_record;
    window::PlainTextBox* m_text = nullptr;
    QCheckBox* m_check = nullptr;
    bool m_closed = false;
};

}  // namespace kivo::app
