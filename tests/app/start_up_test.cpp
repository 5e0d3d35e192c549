// Start-up against a notices server on loopback started by each test: the notices window and
// InfoLog.txt, the time-outs, the single-instance lock, the path check and the quiet ends.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "app/frm_info.h"
#include "app/frm_logo.h"
#include "app/start_up.h"
#include "text/cp932.h"
#include "window/app_style.h"
#include "window/frm_main.h"
#include "window/message_box.h"
#include "window/qtext.h"
#include "window/text_box.h"

using namespace kivo;
using namespace kivo::app;
using namespace kivo::window;

namespace {

const QByteArray kMarker = QStringLiteral("Kivoオートフィルお知らせ：").toUtf8();

QByteArray page(const QByteArray& notices) {
    return "<HTML><BODY>" + kMarker + notices;
}

QByteArray shiftJis(const QString& text) {
    const std::string bytes = cp932::encode(toText(text));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// An HTTP server on 127.0.0.1 that answers every GET with one prepared answer, or never answers,
// or trickles an endless body a byte at a time.
class LoopbackServer : public QObject {
public:
    enum class Mode { Answer, Silent, Trickle };

    LoopbackServer() { connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept); }

    bool listen(const QHostAddress& address = QHostAddress::LocalHost) { return m_server.listen(address, 0); }
    QUrl url(const QString& host = QStringLiteral("127.0.0.1")) const {
        return QUrl(QStringLiteral("http://%1:%2/kivoautofill/").arg(host).arg(m_server.serverPort()));
    }
    void setAnswer(const QByteArray& body, const QByteArray& contentType = "text/html; charset=utf-8",
                   const QByteArray& status = "200 OK") {
        m_body = body;
        m_contentType = contentType;
        m_status = status;
    }
    void setMode(Mode mode) { m_mode = mode; }
    /// A header line sent with every answer ("Location: ...").
    void setExtraHeader(const QByteArray& line) { m_extraHeader = line; }
    /// Called when a request has arrived, before it is answered.
    void onRequest(std::function<void()> f) { m_onRequest = std::move(f); }
    int requests() const { return m_requests; }
    QByteArray lastRequest() const { return m_lastRequest; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
    }

    void read(QTcpSocket* socket) {
        const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n") || socket->property("answered").toBool()) return;
        socket->setProperty("answered", true);
        ++m_requests;
        m_lastRequest = head;
        if (m_onRequest) m_onRequest();
        if (m_mode == Mode::Silent) return;
        QByteArray answer = "HTTP/1.1 " + m_status + "\r\n";
        if (!m_contentType.isEmpty()) answer += "Content-Type: " + m_contentType + "\r\n";
        if (!m_extraHeader.isEmpty()) answer += m_extraHeader + "\r\n";
        if (m_mode == Mode::Trickle) {
            socket->write(answer + "Content-Length: 1000000\r\n\r\n<BODY>");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket, timer, ticks = 0]() mutable {
                socket->write("x");
                if (++ticks == 400) timer->stop();
            });
            timer->start(50);
            return;
        }
        socket->write(answer + "Content-Length: " + QByteArray::number(m_body.size()) +
                      "\r\nConnection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    Mode m_mode = Mode::Answer;
    QByteArray m_body, m_contentType, m_status, m_extraHeader;
    std::function<void()> m_onRequest;
    int m_requests = 0;
    QByteArray m_lastRequest;
};

// An HTTP server on its own thread that answers one GET with a body that never ends, written as
// fast as the socket takes it, until the client goes away.
class EndlessServer {
public:
    enum class Framing { Chunked, OneEndlessChunk, HugeLength, UntilClose };

    explicit EndlessServer(Framing framing) : m_framing(framing) {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), length);
        listen(m_listener, 1);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~EndlessServer() {
        shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        close(m_listener);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/kivoautofill/").arg(m_port)); }

private:
    void serve() {
        const int client = accept(m_listener, nullptr, nullptr);
        if (client < 0) return;
        char request[4096];
        if (recv(client, request, sizeof request, 0) > 0) {
            const std::string body(65536, 'x');
            std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
            std::string piece = body;
            switch (m_framing) {
                case Framing::Chunked:
                    head += "Transfer-Encoding: chunked\r\n\r\n<BODY>";
                    piece = "10000\r\n" + body + "\r\n";
                    break;
                case Framing::OneEndlessChunk:
                    head += "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFF\r\n";
                    break;
                case Framing::HugeLength:
                    head += "Content-Length: 100000000000\r\n\r\n";
                    break;
                case Framing::UntilClose:
                    head += "Connection: close\r\n\r\n";
                    break;
            }
            bool open = send(client, head.data(), head.size(), MSG_NOSIGNAL) > 0;
            while (open)
                open = send(client, piece.data(), piece.size(), MSG_NOSIGNAL) > 0;
        }
        close(client);
    }

    Framing m_framing;
    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

// A figure of /proc/self/status in MB.
qint64 statusMegabytes(const QByteArray& key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').front().toLongLong() / 1024;
    return 0;
}

// How much the most memory the process held grew while `f` ran.
template <typename F>
qint64 peakGrowthMegabytes(F&& f) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly)) reset.write("5");  // the peak starts again from here
    reset.close();
    const qint64 before = statusMegabytes("VmRSS:");
    f();
    return statusMegabytes("VmHWM:") - before;
}

// A copy of this test program that holds a lock file, as a running copy of the program would.
class LockHolder {
public:
    bool start(const QString& lockPath) {
        m_process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), lockPath});
        return m_process.waitForReadyRead(10000) && m_process.readLine().startsWith("locked");
    }
    /// Dies as a crashed copy would, leaving its lock file behind.
    void crash() {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    ~LockHolder() { crash(); }

private:
    QProcess m_process;
};

int holdLock(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLockFile lock(QString::fromLocal8Bit(argv[2]));
    if (!lock.tryLock(0)) return 1;
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    QThread::sleep(30);  // killed by the test long before
    return 0;
}

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT

private:
    QString folder() const { return m_dir->path() + QLatin1Char('/'); }
    QString logPath() const { return folder() + QStringLiteral("InfoLog.txt"); }
    QString dataFolder() const { return folder() + QStringLiteral("data/"); }
    QString lockPath() const { return m_dir->path() + QStringLiteral("/kivoautofill.lock"); }

    bool start(const QUrl& server, FetchLimits limits = {}, const QString& programFolder = {}) {
        stopProgram();
        m_window = std::make_unique<FrmMain>(m_boxes.get());
        StartUpSettings settings;
        settings.noticesServer = server;
        settings.programFolder = programFolder.isEmpty() ? folder() : programFolder;
        settings.dataFolder = dataFolder();
        settings.lockPaths = m_lockPaths;
        settings.fetch = limits;
        m_startUp = std::make_unique<StartUp>(*m_window, settings);
        QElapsedTimer elapsed;
        elapsed.start();
        const bool started = m_startUp->run();
        m_startUpMs = elapsed.elapsed();
        return started;
    }
    void stopProgram() {
        if (!m_window) return;
        m_window->closeQuietly();
        m_startUp.reset();
        m_window.reset();
    }

    /// The notices window when it is open.
    FrmInfo* notices() const {
        FrmInfo* info = m_startUp ? m_startUp->notices() : nullptr;
        return info && info->isVisible() ? info : nullptr;
    }
    QString shownNotice() const { return toQString(notices()->findChild<PlainTextBox*>("Text1")->text()); }
    void tick() {
        auto* box = notices()->findChild<QCheckBox*>("Check1");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    void closeNotices(bool acknowledge) {
        if (acknowledge) {
            tick();
            QVERIFY(notices()->acknowledged());
        }
        QTest::mouseClick(notices()->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    }
    /// The record's bytes; past a megabyte, its size and its first megabyte.
    QByteArray logBytes() const {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly)) return QByteArray("(none)");
        if (file.size() <= (1 << 20)) return file.readAll();
        return QByteArray::number(file.size()) + " bytes: " + file.read(1 << 20);
    }
    void writeLog(const QByteArray& bytes) {
        QFile file(logPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    /// Start-up ended with the main window shown, idle, on tab 0, without a notices window.
    void verifyRunningWithoutNotices() {
        QVERIFY(!notices());
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->state().loaded);
        QCOMPARE(m_window->findChild<QTabWidget*>("SSTab1")->currentIndex(), 0);
        QVERIFY(!m_startUp->splash()->isVisible());
        QVERIFY(m_boxes->shown().isEmpty());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<LoopbackServer> m_server;
    std::unique_ptr<FrmMain> m_window;
    std::unique_ptr<StartUp> m_startUp;
    QStringList m_lockPaths;
    qint64 m_startUpMs = 0;

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_boxes = std::make_unique<ScriptedMessageBoxes>();
        m_server = std::make_unique<LoopbackServer>();
        QVERIFY(m_server->listen());
        m_lockPaths = {lockPath()};
    }

    void cleanup() {
        stopProgram();
        m_server.reset();
        m_boxes.reset();
        m_dir.reset();
    }

    void answerDecidesTheNotice_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QString>("shown");  // null: no notices window
        const QByteArray html = "text/html; charset=utf-8";
        QTest::newRow("lower-case br")
            << page("一行目<br>二行目") << html << QByteArray("200 OK") << QStringLiteral("一行目\r\n二行目");
        QTest::newRow("after the empty line")
            << page("残る<BR />\r\n消える") << html << QByteArray("200 OK") << QStringLiteral("残る\r\n");
        QTest::newRow("600 characters")
            << page(QByteArray(600, 'x')) << html << QByteArray("200 OK") << QString(500, QLatin1Char('x'));
        QTest::newRow("no <BODY>") << "<html><body>" + kMarker + "x" << html << QByteArray("200 OK")
                                   << QString();
        QTest::newRow("no marker") << QByteArray("<BODY>お知らせなし") << html << QByteArray("200 OK")
                                   << QString();
        QTest::newRow("Shift_JIS charset")
            << shiftJis(QStringLiteral("<BODY>Kivoオートフィルお知らせ：新機能"))
            << QByteArray("text/html; charset=\"Shift_JIS\"") << QByteArray("200 OK")
            << QStringLiteral("新機能");
        QTest::newRow("Shift-JIS, no charset")
            << shiftJis(QStringLiteral("<BODY>Kivoオートフィルお知らせ：～新機能")) << QByteArray("text/html")
            << QByteArray("200 OK") << QStringLiteral("～新機能");
        QTest::newRow("markup is text")
            << page("<b>太字</b>&amp;") << html << QByteArray("200 OK") << QStringLiteral("<b>太字</b>&amp;");
        QTest::newRow("HTTP error") << page("x") << html << QByteArray("404 Not Found") << QString();
        QByteArray full = page("大");
        full += QByteArray((1 << 20) - full.size(), ' ');
        QTest::newRow("1 MiB answer") << full << html << QByteArray("200 OK") << QStringLiteral("大");
        QTest::newRow("longer answer") << full + ' ' << html << QByteArray("200 OK") << QString();
    }

    void answerDecidesTheNotice() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, status);
        QFETCH(QString, shown);
        m_server->setAnswer(body, contentType, status);
        QVERIFY(start(m_server->url()));
        QCOMPARE(m_server->requests(), 1);
        QVERIFY(m_server->lastRequest().startsWith("GET /kivoautofill/ HTTP/1.1\r\n"));
        if (shown.isNull()) {
            verifyRunningWithoutNotices();
            return;
        }
        QVERIFY(notices());
        QCOMPARE(shownNotice(), shown);
        QCOMPARE(notices()->windowTitle(), QStringLiteral("Kivoオートフィル お知らせ"));
        // The main window waits for the notices window.
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_startUp->splash()->isVisible());
        QVERIFY(m_window->state().loaded);
        closeNotices(false);
        QVERIFY(!notices());
        QVERIFY(m_window->isVisible());
    }

    // A moved notices page is followed to where it went on the same host, a bounded number of
    // times.
    void redirectionsAreFollowed_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<bool>("toItself");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("shown");
        QTest::newRow("301 elsewhere") << QByteArray("301 Moved Permanently") << false << "127.0.0.1" << true;
        QTest::newRow("307 elsewhere")
            << QByteArray("307 Temporary Redirect") << false << "127.0.0.1" << true;
        QTest::newRow("302 to itself, for ever") << QByteArray("302 Found") << true << "127.0.0.1" << false;
        QTest::newRow("302 to another host") << QByteArray("302 Found") << false << "localhost" << false;
    }
    void redirectionsAreFollowed() {
        QFETCH(QByteArray, status);
        QFETCH(bool, toItself);
        QFETCH(QString, host);
        QFETCH(bool, shown);
        // Reachable by both names, so that only the rule can leave it unasked.
        LoopbackServer elsewhere;
        QVERIFY(elsewhere.listen(QHostAddress::Any));
        elsewhere.setAnswer(page("移転先"));
        const QUrl target = toItself ? m_server->url() : elsewhere.url(host);
        m_server->setAnswer("moved", "text/html", status);
        m_server->setExtraHeader("Location: " + target.toEncoded());
        NoticesFetch fetch;
        const Text text = fetch.fetch(m_server->url());
        QCOMPARE(!text.empty(), shown);
        QCOMPARE(elsewhere.requests(), shown ? 1 : 0);
        if (toItself) QCOMPARE(m_server->requests(), 11);
    }

    void splashShowsTheFetch() {
        QString statusDuringFetch;
        m_server->onRequest([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* logo = qobject_cast<FrmLogo*>(w); logo && logo->isVisible())
                    statusDuringFetch = logo->status();
        });
        m_server->setAnswer(page("x"));
        QVERIFY(start(m_server->url()));
        QCOMPARE(statusDuringFetch, kStatusAccessing);
        QCOMPARE(m_startUp->splash()->status(), kStatusCheckingNotices);
        QVERIFY(!m_startUp->splash()->isVisible());
    }

    void unreachableOrSilentServerStartsWithoutNotices_data() {
        QTest::addColumn<int>("mode");  // -1: closed port, -2: no address, else LoopbackServer::Mode
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("overallMs");
        QTest::addColumn<int>("atLeastMs");
        // Bounds well below the 20 s a wait on the time-out would take, for a loaded machine.
        QTest::newRow("closed port") << -1 << 20000 << 80000 << 0;
        QTest::newRow("no address") << -2 << 20000 << 80000 << 0;
        QTest::newRow("never answers") << int(LoopbackServer::Mode::Silent) << 300 << 80000 << 250;
        // It sends a byte every 50 ms for 20 s: only the overall bound ends it early.
        QTest::newRow("trickles") << int(LoopbackServer::Mode::Trickle) << 300 << 800 << 700;
    }

    void unreachableOrSilentServerStartsWithoutNotices() {
        QFETCH(int, mode);
        QFETCH(int, timeoutMs);
        QFETCH(int, overallMs);
        QFETCH(int, atLeastMs);
        QUrl url = m_server->url();
        if (mode == -1) m_server = std::make_unique<LoopbackServer>();  // the port is closed now
        if (mode == -2) url = QUrl();
        if (mode >= 0) m_server->setMode(LoopbackServer::Mode(mode));
        m_server->setAnswer(page("x"));
        QVERIFY(start(url, FetchLimits{timeoutMs, overallMs, qint64{1} << 20}));
        QVERIFY2(m_startUpMs >= atLeastMs && m_startUpMs < 10000, qPrintable(QString::number(m_startUpMs)));
        verifyRunningWithoutNotices();
        if (mode == -2) QCOMPARE(m_server->requests(), 0);
    }

    void closedPortFailsAtOnce() {
        const QUrl url = m_server->url();
        m_server.reset();
        NoticesFetch fetch;
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(fetch.fetch(url), Text());
        QVERIFY2(elapsed.elapsed() < 1000, qPrintable(QString::number(elapsed.elapsed())));
        m_server = std::make_unique<LoopbackServer>();
    }

    // However the answer is framed, the fetch ends as failed once the body passes the limit,
    // and holds no more than about the limit meanwhile.
    void endlessAnswerIsCutAtTheLimit_data() {
        QTest::addColumn<int>("framing");
        QTest::newRow("chunked") << int(EndlessServer::Framing::Chunked);
        QTest::newRow("one endless chunk") << int(EndlessServer::Framing::OneEndlessChunk);
        QTest::newRow("a huge length") << int(EndlessServer::Framing::HugeLength);
        QTest::newRow("until the connection closes") << int(EndlessServer::Framing::UntilClose);
    }
    void endlessAnswerIsCutAtTheLimit() {
        QFETCH(int, framing);
        const EndlessServer server{EndlessServer::Framing(framing)};
        NoticesFetch fetch;
        QElapsedTimer elapsed;
        elapsed.start();
        Text text = u"not fetched";
        const qint64 grew = peakGrowthMegabytes([&] { text = fetch.fetch(server.url()); });
        QVERIFY(text.empty());
        QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(grew < 64, qPrintable(QString::number(grew) + " MB"));
    }

    void acknowledgedNoticeIsRecordedAndNotShownAgain() {
        const QByteArray earlier = shiftJis(QStringLiteral("前のお知らせ\r\n\r\n"));
        writeLog(earlier);
        m_server->setAnswer(page("新しいお知らせ～<br>二行目"));
        QVERIFY(start(m_server->url()));
        QVERIFY(notices());
        closeNotices(true);
        QCOMPARE(logBytes(), earlier + shiftJis(QStringLiteral("新しいお知らせ～\r\n二行目\r\n\r\n")));
        QVERIFY(m_window->isVisible());

        QVERIFY(start(m_server->url()));
        verifyRunningWithoutNotices();
        QCOMPARE(logBytes(), earlier + shiftJis(QStringLiteral("新しいお知らせ～\r\n二行目\r\n\r\n")));
    }

    // The record replaces a link at its name: what the link points to is not written.
    void acknowledgedNoticeReplacesALinkedRecord() {
        const QString target = m_dir->filePath(QStringLiteral("elsewhere.txt"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier\r\n");
        file.close();
        QVERIFY(QFile::link(target, logPath()));
        m_server->setAnswer(page("new"));
        QVERIFY(start(m_server->url()));
        closeNotices(true);
        QVERIFY(!QFileInfo(logPath()).isSymLink());
        QCOMPARE(logBytes(), QByteArray("earlier\r\nnew\r\n\r\n"));
        file.open(QIODevice::ReadOnly);
        QCOMPARE(file.readAll(), QByteArray("earlier\r\n"));
    }

    void closingWithoutTickingWritesNothing() {
        m_server->setAnswer(page("未確認"));
        QVERIFY(start(m_server->url()));
        closeNotices(false);
        QVERIFY(!QFile::exists(logPath()));
        QVERIFY(start(m_server->url()));
        QCOMPARE(shownNotice(), QStringLiteral("未確認"));
    }

    void closingTheMainWindowClosesAndRecordsTheNotice() {
        m_server->setAnswer(page("確認済み"));
        QVERIFY(start(m_server->url()));
        tick();
        m_window->close();
        QVERIFY(m_window->state().closing);
        QVERIFY(!notices());
        QCOMPARE(logBytes(), shiftJis(QStringLiteral("確認済み\r\n\r\n")));
    }

    void recordStaysOutOfAProgramFolderTheUserMayNotWrite_data() {
        QTest::addColumn<QString>("programFolder");  // under the test's folder unless absolute
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("inDataFolder");
        QTest::newRow("writable") << QStringLiteral("program/") << false << false;
        QTest::newRow("read-only") << QStringLiteral("program/") << true << true;
        QTest::newRow("under /usr") << QStringLiteral("/usr/bin/") << false << true;
    }

    void recordStaysOutOfAProgramFolderTheUserMayNotWrite() {
        QFETCH(QString, programFolder);
        QFETCH(bool, readOnly);
        QFETCH(bool, inDataFolder);
        const QString program =
            programFolder.startsWith(QLatin1Char('/')) ? programFolder : folder() + programFolder;
        if (!program.startsWith(QStringLiteral("/usr/"))) {
            QVERIFY(QDir().mkpath(program));
            if (readOnly) QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        }
        if (readOnly && QFileInfo(program).isWritable())
            QSKIP("this user writes into read-only folders (root)");

        m_server->setAnswer(page("確認済み"));
        QVERIFY(start(m_server->url(), {}, program));
        closeNotices(true);
        const QString recorded = (inDataFolder ? dataFolder() : program) + QStringLiteral("InfoLog.txt");
        const QString other = (inDataFolder ? program : dataFolder()) + QStringLiteral("InfoLog.txt");
        // A stray record is removed before anything is checked: it may have gone into /usr/bin.
        const bool strayRecord = QFile::remove(other);
        QVERIFY(!strayRecord);
        QVERIFY(QFile::exists(recorded));
        // The next start reads the record from where it was kept.
        QVERIFY(start(m_server->url(), {}, program));
        verifyRunningWithoutNotices();
    }

    void unreadableInfoLogShowsTheErrorThenTheNotice_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("InfoLog.txt is a folder") << "folder";
        QTest::newRow("not code page 932") << "not cp932";
        // Read whole, it ended the start in std::bad_alloc.
        QTest::newRow("3 GB") << "3 GB";
    }

    void unreadableInfoLogShowsTheErrorThenTheNotice() {
        QFETCH(QString, kind);
        if (kind == "folder") {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("InfoLog.txt")));
        } else if (kind == "not cp932") {
            writeLog("\x81\r\n\x80");
        } else {
            writeLog("");
            QVERIFY(QFile::resize(logPath(), qint64{3} << 30));
        }
        const QByteArray before = logBytes();
        m_server->setAnswer(page("お知らせ"));
        QVERIFY(start(m_server->url()));
        QCOMPARE(m_boxes->texts(), QStringList{kInfoLogOpenError});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QCOMPARE(shownNotice(), QStringLiteral("お知らせ"));
        QVERIFY(!m_window->state().stop);
        // A record that could not be read is never overwritten.
        closeNotices(true);
        QCOMPARE(logBytes(), before);
        QVERIFY(m_window->isVisible());
    }

    void programFolderPathLength_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("starts");
        QTest::newRow("232") << 232 << true;
        QTest::newRow("233") << 233 << false;
    }

    void programFolderPathLength() {
        QFETCH(int, length);
        QFETCH(bool, starts);
        const QString programFolder = QLatin1Char('/') + QString(length - 2, QChar(u'深')) + QLatin1Char('/');
        QCOMPARE(start(QUrl(), {}, programFolder), starts);
        if (starts) {
            verifyRunningWithoutNotices();
            return;
        }
        QCOMPARE(m_boxes->texts(), QStringList{kPathTooLong});
        QVERIFY(m_window->state().quietExit);
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_startUp->splash()->isVisible());
    }

    void secondCopyIsRefused() {
        LockHolder first;
        QVERIFY(first.start(lockPath()));
        m_server->setAnswer(page("x"));
        QVERIFY(!start(m_server->url()));
        QCOMPARE(m_boxes->texts(), QStringList{kAlreadyRunning});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
        QVERIFY(m_window->state().quietExit);
        QVERIFY(!m_startUp->splash());
        QCOMPARE(m_server->requests(), 0);
        QVERIFY(QFile::exists(lockPath()));  // the first copy's lock is untouched
    }

    void lockOfACrashedCopyDoesNotBlock() {
        LockHolder crashed;
        QVERIFY(crashed.start(lockPath()));
        crashed.crash();
        QVERIFY(QFile::exists(lockPath()));
        QVERIFY(start(QUrl()));
        verifyRunningWithoutNotices();
        // And this copy now holds the lock.
        QLockFile second(lockPath());
        second.setStaleLockTime(0);
        QVERIFY(!second.tryLock(0));
    }

    // A folder where no lock can be made, or that is not the user's alone, passes the check on to
    // the next one; only when none takes a lock does the program start unchecked.
    void lockFallsBackToTheNextFolder_data() {
        QTest::addColumn<QString>("first");  // unmakeable, shared (0777), others' (another owner)
        QTest::addColumn<bool>("heldByFirstCopy");
        QTest::addColumn<bool>("anyFolderTakesALock");
        QTest::addColumn<bool>("starts");
        QTest::newRow("second copy refused in the next folder") << "unmakeable" << true << true << false;
        QTest::newRow("first copy locks in the next folder") << "unmakeable" << false << true << true;
        QTest::newRow("no folder takes a lock") << "unmakeable" << false << false << true;
        // Another user's lock where others may write, or in a folder of theirs, refuses nothing.
        QTest::newRow("lock in a folder open to others") << "shared" << false << true << true;
        QTest::newRow("lock in another user's folder") << "others'" << false << true << true;
        QTest::newRow("no folder of the user's own") << "shared" << false << false << true;
    }
    void lockFallsBackToTheNextFolder() {
        QFETCH(QString, first);
        QFETCH(bool, heldByFirstCopy);
        QFETCH(bool, anyFolderTakesALock);
        QFETCH(bool, starts);
        // Under a regular file no folder can be made, not even by root.
        QFile blocker(m_dir->filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString unusable = blocker.fileName() + QStringLiteral("/runtime/kivoautofill.lock");
        LockHolder other;
        if (first != "unmakeable") {
            const QString folder = m_dir->filePath(QStringLiteral("tmp"));
            QVERIFY(QDir().mkdir(folder));
            if (first == "shared") {
                QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
            } else if (::geteuid() != 0 || ::chmod(QFile::encodeName(folder).constData(), 0700) != 0 ||
                       ::chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0) {
                QSKIP("needs root to give a folder to another user");
            }
            unusable = folder + QStringLiteral("/kivoautofill.lock");
            QVERIFY(other.start(unusable));
        }
        const QString fallback = m_dir->filePath(QStringLiteral("cache/kivoautofill.lock"));
        m_lockPaths = {unusable, anyFolderTakesALock ? fallback : unusable};
        LockHolder firstCopy;
        if (heldByFirstCopy) {
            QVERIFY(QDir().mkdir(m_dir->filePath(QStringLiteral("cache")),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QVERIFY(firstCopy.start(fallback));
        }
        if (!anyFolderTakesALock)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no single-instance lock could be made"));
        QCOMPARE(start(QUrl()), starts);
        QCOMPARE(m_boxes->texts(), starts ? QStringList() : QStringList{kAlreadyRunning});
        if (starts && anyFolderTakesALock) {
            QLockFile second(fallback);
            second.setStaleLockTime(0);
            QVERIFY(!second.tryLock(0));
            // The folder the program made is the user's alone.
            struct stat folder {};
            QCOMPARE(::stat(QFile::encodeName(QFileInfo(fallback).absolutePath()).constData(), &folder), 0);
            QCOMPARE(folder.st_mode & 07777, 0700u);
        }
    }

    void defaultLockFoldersEndWithTheTemporaryFolder() {
        const QStringList paths = defaultLockPaths();
        QVERIFY(paths.size() >= 1);
        QCOMPARE(paths.back(),
                 QDir::tempPath() + QStringLiteral("/kivoautofill-%1/kivoautofill.lock").arg(getuid()));
        if (paths.size() == 3)
            QCOMPARE(paths.front(), QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                                        QStringLiteral("/kivoautofill.lock"));
    }

    void closingDuringTheFetchEndsQuietly() {
        m_server->setMode(LoopbackServer::Mode::Silent);
        m_server->onRequest(
            [this] { QTimer::singleShot(100, m_window.get(), [this] { m_window->close(); }); });
        QVERIFY(!start(m_server->url()));
        QVERIFY(m_startUpMs < 5000);
        QVERIFY(m_window->state().closing);
        QVERIFY(!notices());
        QVERIFY(!m_startUp->splash()->isVisible());
        QVERIFY(!m_window->state().loaded);
    }

    void noticesWindowWaitsForTheEndOfStartUp() {
        FrmMain window(m_boxes.get());
        NoticeRecord record{logPath(), u"お知らせ", u"", false};
        FrmInfo info(window, record);
        info.show();
        QTimer::singleShot(150, &window, [&window] { window.finishStartUp(); });
        QElapsedTimer elapsed;
        elapsed.start();
        info.close();
        QVERIFY(elapsed.elapsed() >= 100);
        QVERIFY(window.isVisible());
        QCOMPARE(record.log, u"お知らせ\r\n");
        window.closeQuietly();
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0) return holdLock(argc, argv);
    QApplication app(argc, argv);
    setUpApplication(app);
    StartUpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "start_up_test.moc"
