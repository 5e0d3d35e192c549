#include "app/notices_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>

#include "app/notices.h"
#include "text/cp932.h"
#include "window/qtext.h"

namespace kivo::app {
namespace {

std::string_view bytesOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray charsetOf(const QByteArray& contentType) {
    for (const QByteArray& parameter : contentType.split(';')) {
        const QByteArray p = parameter.trimmed();
        if (p.size() > 8 && p.left(8).toLower() == "charset=") {
            QByteArray value = p.mid(8).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

std::optional<Text> decodeWith(QStringDecoder decoder, const QByteArray& body) {
    const QString text = decoder.decode(body);
    if (decoder.hasError()) return std::nullopt;
    return window::toText(text);
}

}  // namespace

std::optional<Text> decodeAnswer(const QByteArray& body, const QByteArray& contentType) {
    if (const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(body))
        return decodeWith(QStringDecoder(*bom), body);
    const QByteArray charset = charsetOf(contentType);
    if (isShiftJisCharset(bytesOf(charset))) return cp932::decode(bytesOf(body));
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid()) return decodeWith(std::move(named), body);
    }
    return decodeWith(QStringDecoder(QStringConverter::Utf8), body);
}

NoticesFetch::NoticesFetch(FetchLimits limits, QObject* parent) : QObject(parent), m_limits(limits) {}

Text NoticesFetch::fetch(const QUrl& address) {
    if (address.isEmpty() || !address.isValid()) return Text();
    QNetworkAccessManager manager;
    // The program reads no proxy settings from its environment.
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(address);
    request.setTransferTimeout(m_limits.timeoutMs);
    QNetworkReply* reply = manager.get(request);
    m_reply = reply;

    QByteArray body;
    bool tooLong = false;
    connect(reply, &QNetworkReply::readyRead, reply, [&] {
        body += reply->read(m_limits.maxBytes + 1 - body.size());
        if (body.size() > m_limits.maxBytes) {
            tooLong = true;
            reply->abort();
        }
    });
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(m_limits.overallMs, reply, &QNetworkReply::abort);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_reply = nullptr;

    if (tooLong || reply->error() != QNetworkReply::NoError) return Text();
    body += reply->read(m_limits.maxBytes + 1 - body.size());
    if (body.size() > m_limits.maxBytes) return Text();
    const QByteArray contentType = reply->rawHeader("Content-Type");
    return serverText(decodeAnswer(body, contentType), bytesOf(body));
}

void NoticesFetch::cancel() {
    if (m_reply) m_reply->abort();
}

}  // namespace kivo::app
