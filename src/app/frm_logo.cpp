#include "app/frm_logo.h"

#include <QFrame>
#include <QLabel>

#include "app/placement.h"

namespace kivo::app {
namespace {

// The client area, 7335 x 2160 twips.
constexpr int kWidth = 489;
constexpr int kHeight = 144;

}  // namespace

FrmLogo::FrmLogo(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmLogo"));
    setWindowTitle(QStringLiteral("Kivoオートフィル"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);

    // Four nested frames as the decoration around the name.
    const QRect shapes[] = {{0, 0, kWidth, kHeight},
                            {4, 4, kWidth - 8, kHeight - 8},
                            {12, 12, kWidth - 24, 84},
                            {12, 104, kWidth - 24, 28}};
    for (int i = 0; i < 4; ++i) {
        auto* shape = new QFrame(this);
        shape->setObjectName(QStringLiteral("Shape1(%1)").arg(i));
        shape->setFrameShape(QFrame::Box);
        shape->setLineWidth(i < 2 ? 2 : 1);
        shape->setGeometry(shapes[i]);
    }

    auto* title = new QLabel(QStringLiteral("Kivoオートフィル"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(24);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(16, 16, kWidth - 32, 76);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label2"));
    m_status->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    m_status->setGeometry(20, 106, kWidth - 40, 24);

    centreOnScreen(*this);
}

void FrmLogo::setStatus(const QString& text) {
    m_status->setText(text);
    if (isVisible()) m_status->repaint();
    emit statusChanged(text);
}

QString FrmLogo::status() const {
    return m_status->text();
}

}  // namespace kivo::app
