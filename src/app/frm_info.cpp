#include "app/frm_info.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include "app/info_log.h"
#include "app/notices.h"
#include "app/placement.h"
#include "window/frm_main.h"
#include "window/text_box.h"

namespace kivo::app {
namespace {

// The client area, 10590 x 6045 twips.
constexpr int kWidth = 706;
constexpr int kHeight = 403;

}  // namespace

FrmInfo::FrmInfo(window::FrmMain& main, NoticeRecord& record, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_main(main),
      m_record(record) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(kNoticesCaption);
    setFixedSize(kWidth, kHeight);

    // Plain text only: whatever markup the server sends is shown as it is, never interpreted.
    m_text = new window::PlainTextBox(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setGeometry(8, 8, kWidth - 16, 344);
    m_text->assign(record.notice);

    m_check = new QCheckBox(QStringLiteral("お知らせを確認しました(&A)"), this);
    m_check->setObjectName(QStringLiteral("Check1"));
    m_check->move(12, 368);
    m_check->adjustSize();

    auto* close = new QPushButton(QStringLiteral("閉じる(&B)"), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setToolTip(QStringLiteral("「お知らせ」を閉じます"));
    close->setGeometry(kWidth - 8 - 121, 362, 121, 32);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &FrmInfo::closeByButton);

    centreOnScreen(*this);
}

bool FrmInfo::acknowledged() const {
    return m_check->isChecked();
}

void FrmInfo::closeByButton() {
    window::WindowState& state = m_main.state();
    if (state.guard) return;
    window::GuardHold hold(state);
    close();
}

void FrmInfo::closeEvent(QCloseEvent* event) {
    event->accept();
    // The main window's closing closes this window again after the user did: record it once.
    if (m_closed) return;
    m_closed = true;
    m_record.log = logWithNotice(m_record.log, m_record.notice);
    if (acknowledged() && !m_record.logUnreadable) writeInfoLog(m_record.logPath, m_record.log);
    waitForStartUp();
    const window::WindowState& state = m_main.state();
    if (state.loaded && !state.closing) m_main.show();
}

void FrmInfo::waitForStartUp() {
    const window::WindowState& state = m_main.state();
    while (!state.loaded && !state.stop && !state.closing) {
        QEventLoop wait;
        QTimer::singleShot(10, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

}  // namespace kivo::app
