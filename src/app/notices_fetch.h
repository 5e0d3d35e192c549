#pragma once

#include <optional>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include "app/http_answer.h"
#include "text/lines.h"

namespace kivo::app {

/// The limits of one fetch of the server text.
struct FetchLimits {
    /// Inactivity time-out, from the name look-up to the last byte received.
    int timeoutMs = 20000;
    /// Bound on the whole fetch, so a server that trickles its answer cannot hold start-up: the
    /// four stages (look-up, connect, send, receive) at their time-out each.
    int overallMs = 4 * 20000;
    /// A longer answer is no notices page: the fetch fails.
    qint64 maxBytes = qint64{1} << 20;
};

/// The answer's body as text as the HTTP layer decodes it: by its byte-order mark, else by the
/// charset of its content type (Shift-JIS as code page 932), else as UTF-8; nothing when the bytes
/// are not valid in that encoding.
std::optional<Text> decodeAnswer(const QByteArray& body, const QByteArray& contentType);

/// Fetches the server text with an HTTP GET. It waits in a local event loop that keeps the
/// windows painting but takes no user input, as a synchronous request would. The answer is read
/// on this thread a socket buffer at a time, so that no more than about the limit of it is ever
/// held: Qt's network thread keeps reading a chunk for as long as the server keeps its socket full.
class NoticesFetch : public QObject {
    Q_OBJECT

public:
    explicit NoticesFetch(FetchLimits limits = {}, QObject* parent = nullptr);

    /// The server text at `address`: empty for an empty address and after any failure (no
    /// answer in time, an HTTP error, an over-long answer, no "<BODY>"). Redirections are
    /// followed on the same host only, never from https to http.
    Text fetch(const QUrl& address);

public slots:
    /// Ends a fetch under way as failed.
    void cancel();

private:
    /// One GET of `url`: the whole answer, or nothing when it failed or the deadline passed.
    std::optional<HttpAnswerReader> get(const QUrl& url, const QDeadlineTimer& deadline);

    FetchLimits m_limits;
    bool m_cancelled = false;
    QPointer<QEventLoop> m_loop;
};

}  // namespace kivo::app
