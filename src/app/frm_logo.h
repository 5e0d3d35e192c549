#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace kivo::app {

inline const QString kStatusAccessing = QStringLiteral("サーバーにアクセスしています…");
inline const QString kStatusReceiving = QStringLiteral("データを取得中…");
inline const QString kStatusSettingUp = QStringLiteral("フォームのコントロールを設定中…");
inline const QString kStatusCheckingNotices = QStringLiteral("お知らせデータをチェック中…");

/// The splash window shown while the program starts: borderless, centred, above every window,
/// with the program's name and a status line.
class FrmLogo : public QWidget {
    Q_OBJECT

public:
    explicit FrmLogo(QWidget* parent = nullptr);

    /// Shows a start-up step in the status line (`Label2`) and paints it at once.
    void setStatus(const QString& text);
    QString status() const;

signals:
    void statusChanged(const QString& text);

private:
    QLabel* m_status = nullptr;
};

}  // namespace kivo::app
