#include "app/notices_fetch.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <memory>

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

const QString kHttps = QStringLiteral("https");
// A moved page or a move to https takes one or two; a loop of them must end.
constexpr int kMaxRedirections = 10;
constexpr qint64 kReadPiece = qint64{64} << 10;

bool isHttp(const QUrl& url) {
    return url.scheme() == QStringLiteral("http") || url.scheme() == kHttps;
}

bool isRedirection(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A plain GET that asks for the body as it is and for the connection to end with the answer.
QByteArray requestFor(const QUrl& url) {
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) target = "/";
    if (url.hasQuery()) target += "?" + url.query(QUrl::FullyEncoded).toLatin1();
    const QByteArray host = url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1();
    return "GET " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
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
    m_cancelled = false;
    const QDeadlineTimer deadline(m_limits.overallMs);
    QUrl url = address;
    for (int redirections = 0;; ++redirections) {
        const std::optional<HttpAnswerReader> answer = get(url, deadline);
        if (!answer) return Text();
        const int status = answer->status();
        if (isRedirection(status)) {
            const std::string_view location = answer->header("location");
            const QUrl next =
                url.resolved(QUrl::fromEncoded(QByteArray(location.data(), qsizetype(location.size()))));
            // A notice is shown as the program's own word: it comes from the notices server's
            // host only, never from wherever a redirection points.
            if (redirections == kMaxRedirections || !next.isValid() || !isHttp(next) ||
                (url.scheme() == kHttps && next.scheme() != kHttps) ||
                next.host().compare(url.host(), Qt::CaseInsensitive) != 0)
                return Text();
            url = next;
            continue;
        }
        if (status < 200 || status > 299) return Text();
        const std::string& body = answer->body();
        const std::string_view contentType = answer->header("content-type");
        return serverText(decodeAnswer(QByteArray(body.data(), qsizetype(body.size())),
                                       QByteArray(contentType.data(), qsizetype(contentType.size()))),
                          body);
    }
}

std::optional<HttpAnswerReader> NoticesFetch::get(const QUrl& url, const QDeadlineTimer& deadline) {
    if (!isHttp(url) || url.host().isEmpty()) return std::nullopt;
    const bool secure = url.scheme() == kHttps;
    std::unique_ptr<QTcpSocket> socket =
        secure ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
    // The program reads no proxy settings from its environment.
    socket->setProxy(QNetworkProxy::NoProxy);
    // The socket holds no more than this of what the server sent before it is read.
    socket->setReadBufferSize(kReadPiece);
    HttpAnswerReader answer(static_cast<std::size_t>(m_limits.maxBytes));

    QEventLoop loop;
    m_loop = &loop;
    QTimer idle;
    idle.setSingleShot(true);
    connect(&idle, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer overall;
    overall.setSingleShot(true);
    connect(&overall, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (!deadline.isForever())
        overall.start(static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, INT_MAX)));
    auto active = [&] { idle.start(m_limits.timeoutMs); };
    auto readAll = [&] {
        while (socket->bytesAvailable() > 0 && answer.state() == HttpAnswerReader::State::Reading)
            answer.feed(socket->read(kReadPiece).toStdString());
    };
    connect(socket.get(), &QTcpSocket::connected, &loop, [&] {
        active();
        socket->write(requestFor(url));
    });
    connect(socket.get(), &QTcpSocket::bytesWritten, &loop, active);
    connect(socket.get(), &QTcpSocket::readyRead, &loop, [&] {
        active();
        readAll();
        if (answer.state() != HttpAnswerReader::State::Reading) loop.quit();
    });
    connect(socket.get(), &QTcpSocket::disconnected, &loop, [&] {
        readAll();
        answer.end();
        loop.quit();
    });
    connect(socket.get(), &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            readAll();
            answer.end();
        }
        loop.quit();
    });

    active();
    const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
    if (secure) {
        static_cast<QSslSocket*>(socket.get())->connectToHostEncrypted(url.host(), port);
    } else {
        socket->connectToHost(url.host(), port);
    }
    if (!m_cancelled && socket->state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    socket->disconnect(&loop);
    socket->abort();
    if (m_cancelled || answer.state() != HttpAnswerReader::State::Done) return std::nullopt;
    return answer;
}

void NoticesFetch::cancel() {
    m_cancelled = true;
    if (m_loop) m_loop->quit();
}

}  // namespace kivo::app
