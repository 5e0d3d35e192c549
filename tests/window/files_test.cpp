// Text files: the encoding decisions, atomic writing, and the open and save commands of the
// File menu with scripted dialogs.

#include <type_traits>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include "window/text_files.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray encoded(TextView text, TextEncoding encoding) {
    return bytes(encodeTextBytes(text, encoding));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

// "全角" and "ｶﾅ" in code page 932.
const QByteArray kCp932FullWidth = "\x91\x53\x8a\x70";
const QByteArray kCp932HalfWidthKana = "\xb6\xc5";

#ifdef Q_OS_UNIX
// Files may grow to `limit` bytes while it lives: a longer write fails half-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lower = m_old;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};
#endif

// A drag from a file manager or another program, entering `pane` and dropped there.
void drop(PlainTextBox* pane, const QMimeData& data) {
    QWidget* target = pane->viewport();
    // Before the first character.
    const QPoint at(1, 1);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
}

// Clicks `item` in `menu`, shown as a popup.
void clickMenuItem(QMenu* menu, QAction* item) {
    menu->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

// Runs `answer` on the file dialog (or the message box) once it is shown.
template <typename Dialog = QFileDialog>
void whenDialogShows(std::type_identity_t<std::function<void(Dialog*)>> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            // A dialog the test failed to close must not hold the test up for good.
            QTimer::singleShot(5000, dialog, &QDialog::reject);
            answer(dialog);
        }
    });
    poll->start(10);
}

}  // namespace

class FilesTest : public WindowFixture {
    Q_OBJECT

private:
    void trigger(const char* action) { get<QAction>(QLatin1String(action))->trigger(); }
    QString status() { return get<QLabel>("Label8")->text(); }

private slots:
    // ---- encoding decisions

    void encodeTextFileEndsWithALineBreak() {
        const FileFormat cp932;
        const FileFormat cp932Lf{TextEncoding::Cp932, LineBreak::Lf};
        const FileFormat marked{TextEncoding::Utf8WithMark};
        QCOMPARE(bytes(encodeTextFile(u"全角", cp932)), kCp932FullWidth + "\r\n");
        QCOMPARE(bytes(encodeTextFile(u"", cp932)), QByteArray("\r\n"));
        QCOMPARE(bytes(encodeTextFile(u"a\r\n", cp932)), QByteArray("a\r\n"));
        QCOMPARE(bytes(encodeTextFile(u"a\n", cp932Lf)), QByteArray("a\n"));
        QCOMPARE(bytes(encodeTextFile(u"a\r", marked)), QByteArray("\xEF\xBB\xBF"
                                                                   "a\r"));
        QCOMPARE(bytes(encodeTextFile(u"a😀", cp932)), QByteArray("a??\r\n"));
        QCOMPARE(bytes(encodeTextFile(u"a😀", marked)), QByteArray("\xEF\xBB\xBF"
                                                                  "a😀\r\n"));
    }

    void encodeTextFileWritesTheFormat_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("lineBreak");
        QTest::addColumn<QByteArray>("file");
        const int cp932 = int(TextEncoding::Cp932), utf8 = int(TextEncoding::Utf8),
                  marked = int(TextEncoding::Utf8WithMark), crLf = int(LineBreak::CrLf),
                  lf = int(LineBreak::Lf);
        QTest::newRow("mixed breaks as CrLf")
            << "a\r\nb\nc" << cp932 << crLf << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("mixed breaks as Lf") << "a\r\nb\nc" << cp932 << lf << QByteArray("a\nb\nc\n");
        QTest::newRow("a lone Cr stays") << "a\rb\r\n" << cp932 << lf << QByteArray("a\rb\n");
        QTest::newRow("UTF-8 without a mark") << "全角\n" << utf8 << lf << QByteArray("全角\n");
        QTest::newRow("UTF-8 with a mark, CrLf") << "全角\n"
                                                 << marked << crLf << QByteArray("\xEF\xBB\xBF全角\r\n");
        QTest::newRow("ends with a Cr") << "a\r" << utf8 << lf << QByteArray("a\r");
    }
    void encodeTextFileWritesTheFormat() {
        QFETCH(QString, text);
        QFETCH(int, encoding);
        QFETCH(int, lineBreak);
        QFETCH(QByteArray, file);
        QCOMPARE(bytes(encodeTextFile(toText(text), {TextEncoding(encoding), LineBreak(lineBreak)})), file);
    }

    void writeFileBytesReplacesTheWholeFile() {
        const QString file = path("a.txt");
        writeAll(file, "a much longer old content");
        QVERIFY(writeFileBytes(file, "new"));
        QCOMPARE(readAll(file), QByteArray("new"));
        QVERIFY(!writeFileBytes(path("no/such/dir/a.txt"), "x"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"a.txt"});
    }

    void failedWriteLeavesTheOldFile() {
#ifdef Q_OS_UNIX
        const QString file = path("old.txt");
        writeAll(file, "old");
        {
            FileSizeLimit limit(4096);
            QVERIFY(!writeFileBytes(file, std::string(100000, 'x')));
        }
        QCOMPARE(readAll(file), QByteArray("old"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"old.txt"});
#else
        QSKIP("needs a file size limit");
#endif
    }

    // ---- open

    void openLoadsTheUpperPane_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("Shift-JIS") << QByteArray("abc\r\n") + kCp932FullWidth + kCp932HalfWidthKana
                                   << "abc\r\n全角ｶﾅ";
        QTest::newRow("short Shift-JIS, also valid UTF-8") << QByteArray("\xC3\xBD\r\n") << "ﾃｽ\r\n";
        QTest::newRow("UTF-8") << QByteArray("行1\r\n行2\n") << "行1\r\n行2\n";
        QTest::newRow("UTF-8 with a mark") << QByteArray(
                                                  "\xEF\xBB\xBF"
                                                  "😀")
                                           << "😀";
    }
    void openLoadsTheUpperPane() {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        writeAll(path("in.txt"), file);
        pane("Text1")->assign(u"old");
        pane("Text2")->assign(u"lower");
        m_dialogs.names = {path("in.txt")};
        QString duringStatus;
        bool menuDuring = true;
        m_dialogs.during = [&] {
            duringStatus = status();
            menuDuring = get<QMenu>("mnuFile")->menuAction()->isEnabled();
        };
        trigger("mnuOpen");
        QCOMPARE(toQString(pane("Text1")->text()), text);
        QVERIFY(pane("Text2")->text() == Text(u"lower"));
        QCOMPARE(duringStatus, kBusyCaption);
        QVERIFY(!menuDuring);
        QVERIFY(get<QMenu>("mnuFile")->menuAction()->isEnabled());
        QVERIFY(pane("Text1")->isEnabled());
        QCOMPARE(status(), QString());
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void openLeavesTheUpperPaneWhenNothingIsRead_data() {
        QTest::addColumn<QString>("name");  // empty: Cancel
        QTest::addColumn<QString>("message");
        QTest::newRow("empty file") << "empty.txt"
                                    << "";
        QTest::newRow("cancel") << ""
                                << "";
        QTest::newRow("missing file") << "missing.txt"
                                      << "ファイルを開けませんでした。";
        QTest::newRow("a folder") << "folder"
                                  << "ファイルを開けませんでした。";
    }
    void openLeavesTheUpperPaneWhenNothingIsRead() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        writeAll(path("empty.txt"), QByteArray());
        QDir(m_dir->path()).mkdir("folder");
        pane("Text1")->assign(u"keep");
        pane("Text2")->assign(u"lower");
        m_dialogs.names = {name.isEmpty() ? QString() : path(name)};
        trigger("mnuOpen");
        QVERIFY(pane("Text1")->text() == Text(u"keep"));
        QVERIFY(pane("Text2")->text() == Text(u"lower"));
        QCOMPARE(m_boxes->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QCOMPARE(status(), QString());
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
    }

    void openAfterStopKeepsTheLowerPane() {
        writeAll(path("in.txt"), "new");
        QTest::mouseClick(get<QPushButton>("Command6"), Qt::LeftButton);  // Stop while idle
        pane("Text2")->assign(u"typed after the stop");
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        QVERIFY(pane("Text1")->text() == Text(u"new"));
        QVERIFY(pane("Text2")->text() == Text(u"typed after the stop"));
        pane("Text2")->assign(u"lower");
        m_dialogs.names = {path("out.txt")};
        trigger("mnu2Name");
        QVERIFY(pane("Text2")->text() == Text(u"lower"));
    }

    void closingWhileReadingClosesQuietly() {
        writeAll(path("in.txt"), "text");
        m_dialogs.names = {path("in.txt")};
        // The close box is pressed while the file is read, and the exit question answered Yes.
        m_dialogs.during = [this] { QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); }); };
        trigger("mnuOpen");
        QVERIFY(state().closing);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_boxes->texts(), QStringList{kExitQuestion});
        QVERIFY(pane("Text1")->text() == Text(u"text"));
    }

    // ---- save

    void saveAndReopenEndsWithOneLineBreak_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reopened");
        QTest::newRow("upper, Shift-JIS") << "mnu1Name"
                                          << "abc\r\n全角" << QByteArray("abc\r\n") + kCp932FullWidth + "\r\n"
                                          << "abc\r\n全角\r\n";
        QTest::newRow("lower, Shift-JIS") << "mnu2Name"
                                          << "ｶﾅ" << kCp932HalfWidthKana + "\r\n"
                                          << "ｶﾅ\r\n";
        QTest::newRow("ends with CrLf") << "mnu1Name"
                                        << "a\r\n"
                                        << QByteArray("a\r\n") << "a\r\n";
        QTest::newRow("ends with a lone Lf") << "mnu2Name"
                                             << "a\n"
                                             << QByteArray("a\n") << "a\n";
    }
    void saveAndReopenEndsWithOneLineBreak() {
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(QByteArray, file);
        QFETCH(QString, reopened);
        const bool upper = action == "mnu1Name";
        pane(upper ? "Text1" : "Text2")->assign(toText(text));
        m_dialogs.names = {path("out.txt")};
        QString duringStatus;
        m_dialogs.during = [&] { duringStatus = status(); };
        trigger(qPrintable(action));
        QCOMPARE(readAll(path("out.txt")), file);
        QCOMPARE(duringStatus, kBusyCaption);
        QCOMPARE(status(), QString());
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(toQString(pane(upper ? "Text1" : "Text2")->text()), text);
        m_dialogs.names = {path("out.txt")};
        m_dialogs.during = nullptr;
        trigger("mnuOpen");
        QCOMPARE(toQString(pane("Text1")->text()), reopened);
        // Saving what was opened writes the same file again: repeated saving never grows it.
        m_dialogs.names = {path("out.txt")};
        trigger("mnu1Name");
        QCOMPARE(readAll(path("out.txt")), file);
    }

    void savingAnEmptyPaneOpensNoDialog_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("upper") << "mnu1Name"
                               << "上部テキストに文字、文字列がありません。";
        QTest::newRow("lower") << "mnu2Name"
                               << "下部テキストに文字、文字列がありません。";
    }
    void savingAnEmptyPaneOpensNoDialog() {
        QFETCH(QString, action);
        QFETCH(QString, message);
        pane(action == "mnu1Name" ? "Text2" : "Text1")->assign(u"the other pane");
        m_dialogs.names = {path("out.txt")};
        trigger(qPrintable(action));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
        QCOMPARE(m_dialogs.saved, 0);
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(status(), QString());
    }

    void cancelledSaveWritesNothing() {
        pane("Text1")->assign(u"abc");
        m_dialogs.names = {QString()};
        trigger("mnu1Name");
        QCOMPARE(m_dialogs.saved, 1);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
        QVERIFY(pane("Text1")->text() == Text(u"abc"));
    }

    void failedSaveTellsWhichPane_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("upper") << "mnu1Name"
                               << "上部テキストファイルを保存できませんでした。";
        QTest::newRow("lower") << "mnu2Name"
                               << "下部テキストファイルを保存できませんでした。";
    }
    void failedSaveTellsWhichPane() {
        QFETCH(QString, action);
        QFETCH(QString, message);
        pane(action == "mnu1Name" ? "Text1" : "Text2")->assign(u"abc");
        m_dialogs.names = {path("no/such/dir/out.txt")};
        trigger(qPrintable(action));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QCOMPARE(status(), QString());
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
    }

    // The write past the limit fails, as the program set up (SIGXFSZ would end this test).
    void failedSaveLeavesTheOldFile() {
#ifdef Q_OS_UNIX
        writeAll(path("old.txt"), "old");
        pane("Text1")->assign(Text(100000, u'x'));
        m_dialogs.names = {path("old.txt")};
        {
            FileSizeLimit limit(4096);
            trigger("mnu1Name");
        }
        QCOMPARE(m_boxes->texts(), QStringList{"上部テキストファイルを保存できませんでした。"});
        QCOMPARE(readAll(path("old.txt")), QByteArray("old"));
#else
        QSKIP("needs a file size limit");
#endif
    }

    void lossySaveAsksForUtf8_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QByteArray>("file");  // "<missing>": nothing written
        QTest::addColumn<int>("dialogs");
        QTest::newRow("yes: UTF-8") << Answer::Yes
                                    << QByteArray(
                                           "\xEF\xBB\xBF"
                                           "全角😀\r\n")
                                    << 1;
        QTest::newRow("no: Shift-JIS with the loss") << Answer::No << kCp932FullWidth + "??\r\n" << 1;
        QTest::newRow("cancel: nothing") << Answer::Cancel << QByteArray("<missing>") << 0;
    }
    void lossySaveAsksForUtf8() {
        QFETCH(Answer, answer);
        QFETCH(QByteArray, file);
        QFETCH(int, dialogs);
        pane("Text2")->assign(u"全角😀");
        m_boxes->setNextAnswer(answer);
        m_dialogs.names = {path("out.txt")};
        trigger("mnu2Name");
        QCOMPARE(m_boxes->texts(),
                 QStringList{"Shift-JISで保存できない文字が含まれています、UTF-8で保存しますか？"});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Question);
        QCOMPARE(m_dialogs.saved, dialogs);
        QCOMPARE(readAll(path("out.txt")), file);
        QCOMPARE(status(), QString());
        if (answer == Answer::Yes) {
            m_dialogs.names = {path("out.txt")};
            trigger("mnuOpen");
            QVERIFY(pane("Text1")->text() == Text(u"全角😀\r\n"));
        }
    }

    // ---- files as they came

    // Open, run (a sort, which writes its own line breaks), save both panes: each file is written
    // as the opened one was, and the save dialog proposes that.
    void formatSurvivesARun_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("upperSaved");
        QTest::addColumn<QByteArray>("lowerSaved");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("lineBreak");
        QTest::newRow("UTF-8, Lf") << QByteArray("い行\nあ行") << QByteArray("い行\nあ行\n")
                                   << QByteArray("あ行\nい行\n") << int(TextEncoding::Utf8)
                                   << int(LineBreak::Lf);
        QTest::newRow("UTF-8 with a mark, CrLf")
            << QByteArray("\xEF\xBB\xBFい行\r\nあ行") << QByteArray("\xEF\xBB\xBFい行\r\nあ行\r\n")
            << QByteArray("\xEF\xBB\xBFあ行\r\nい行\r\n") << int(TextEncoding::Utf8WithMark)
            << int(LineBreak::CrLf);
        QTest::newRow("Shift-JIS, Lf")
            << QByteArray("b\n") + kCp932FullWidth << QByteArray("b\n") + kCp932FullWidth + "\n"
            << QByteArray("b\n") + kCp932FullWidth + "\n"
            << int(TextEncoding::Cp932) << int(LineBreak::Lf);
        // Excel's "Unicode テキスト".
        QTest::newRow("UTF-16LE, Tabs, CrLf") << encoded(u"い行\t1\r\nあ行\t2", TextEncoding::Utf16Le)
                                              << encoded(u"い行\t1\r\nあ行\t2\r\n", TextEncoding::Utf16Le)
                                              << encoded(u"あ行\t2\r\nい行\t1\r\n", TextEncoding::Utf16Le)
                                              << int(TextEncoding::Utf16Le) << int(LineBreak::CrLf);
        QTest::newRow("UTF-16BE, Lf") << encoded(u"い行\nあ行\n", TextEncoding::Utf16Be)
                                      << encoded(u"い行\nあ行\n", TextEncoding::Utf16Be)
                                      << encoded(u"\nあ行\nい行\n", TextEncoding::Utf16Be)
                                      << int(TextEncoding::Utf16Be) << int(LineBreak::Lf);
        QTest::newRow("EUC-JP, Lf") << encoded(u"い行①\nあ行", TextEncoding::EucJp)
                                    << encoded(u"い行①\nあ行\n", TextEncoding::EucJp)
                                    << encoded(u"あ行\nい行①\n", TextEncoding::EucJp)
                                    << int(TextEncoding::EucJp) << int(LineBreak::Lf);
    }
    void formatSurvivesARun() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, upperSaved);
        QFETCH(QByteArray, lowerSaved);
        QFETCH(int, encoding);
        QFETCH(int, lineBreak);
        const FileFormat format{TextEncoding(encoding), LineBreak(lineBreak)};
        writeAll(path("in.txt"), file);
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        showTab(3);
        QVERIFY(option("Option4(0)")->isChecked());
        execute();
        QVERIFY(!pane("Text2")->isEmpty());
        m_dialogs.names = {path("lower.txt"), path("upper.txt")};
        trigger("mnu2Name");
        QCOMPARE(m_dialogs.lastProposal, format);
        trigger("mnu1Name");
        QCOMPARE(m_dialogs.lastProposal, format);
        QCOMPARE(readAll(path("lower.txt")), lowerSaved);
        QCOMPARE(readAll(path("upper.txt")), upperSaved);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // The format chosen in the save dialog is written and proposed at the next save; the result
    // moved up keeps the format of the text it came from.
    void chosenFormatIsKept() {
        writeAll(path("in.txt"), "b\na");
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        m_dialogs.names = {path("out.txt"), path("again.txt")};
        m_dialogs.formats = {{TextEncoding::Utf8WithMark, LineBreak::CrLf}};
        trigger("mnu1Name");
        QCOMPARE(readAll(path("out.txt")), QByteArray("\xEF\xBB\xBF"
                                                      "b\r\na\r\n"));
        trigger("mnu1Name");
        QCOMPARE(m_dialogs.lastProposal, (FileFormat{TextEncoding::Utf8WithMark, LineBreak::CrLf}));
        showTab(3);
        execute();
        click("Command42");
        QCOMPARE(toQString(pane("Text1")->text()), QStringLiteral("a\r\nb"));
        m_dialogs.names = {path("moved.txt")};
        trigger("mnu1Name");
        QCOMPARE(readAll(path("moved.txt")), QByteArray("\xEF\xBB\xBF"
                                                        "a\r\nb\r\n"));
    }

    // Ctrl+S in a pane writes its file back in the file's format without a dialog; a pane without
    // a file is saved under a chosen name.
    void saveInPlaceWritesThePaneFile_data() {
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<bool>("hasFile");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("opened Shift-JIS CrLf file")
            << "Text1" << true << "A" + kCp932FullWidth + "\r\n" + kCp932HalfWidthKana + "\r\n";
        QTest::newRow("lower pane saved as UTF-8 Lf") << "Text2" << true << QByteArray("Ab\nc\n");
        QTest::newRow("no file") << "Text1" << false << QByteArray("Ab\r\nc\r\n");
    }
    void saveInPlaceWritesThePaneFile() {
        QFETCH(QString, paneName);
        QFETCH(bool, hasFile);
        QFETCH(QByteArray, written);
        PlainTextBox* target = pane(paneName);
        if (paneName == "Text1" && hasFile) {
            writeAll(path("in.txt"), kCp932FullWidth + "\r\n" + kCp932HalfWidthKana + "\r\n");
            m_dialogs.names = {path("in.txt")};
            trigger("mnuOpen");
        } else {
            target->assign(u"b\r\nc");
        }
        if (paneName == "Text2") {
            m_dialogs.names = {path("in.txt")};
            m_dialogs.formats = {{TextEncoding::Utf8, LineBreak::Lf}};
            trigger("mnu2Name");
        }
        const int dialogsBefore = m_dialogs.saved;
        m_dialogs.names = {path("in.txt")};
        focus(target);
        target->moveCursor(QTextCursor::Start);
        QTest::keyClicks(target, "A");
        QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_dialogs.saved - dialogsBefore, hasFile ? 0 : 1);
        QCOMPARE(readAll(path("in.txt")), written);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // Text that came from no file is written as it is, in Shift-JIS.
    void textFromNoFileKeepsItsLineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lineBreak");
        QTest::newRow("CrLf") << "a\r\nb" << int(LineBreak::CrLf);
        QTest::newRow("Lf") << "a\nb" << int(LineBreak::Lf);
        QTest::newRow("no break") << "ab" << int(LineBreak::CrLf);
    }
    void textFromNoFileKeepsItsLineBreaks() {
        QFETCH(QString, text);
        QFETCH(int, lineBreak);
        pane("Text2")->assign(toText(text));
        m_dialogs.names = {path("out.txt")};
        trigger("mnu2Name");
        QCOMPARE(m_dialogs.lastProposal, (FileFormat{TextEncoding::Cp932, LineBreak(lineBreak)}));
    }

    void openInTheEncodingChosen_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("saved");          // the encoding proposed for saving
        QTest::addColumn<bool>("lossy");         // Ctrl+S would lose bytes: it asks for a name
        const QByteArray ambiguous("\xC3\xBD");  // "ﾃｽ" in Shift-JIS, "ý" in UTF-8
        QTest::newRow("auto: short text, Shift-JIS")
            << ambiguous << int(OpenEncoding::Auto) << "ﾃｽ" << int(TextEncoding::Cp932) << false;
        QTest::newRow("UTF-8 chosen")
            << ambiguous << int(OpenEncoding::Utf8) << "ý" << int(TextEncoding::Utf8) << false;
        QTest::newRow("Shift-JIS chosen for UTF-8 bytes")
            << QByteArray("\xE8\xA1\x8C") << int(OpenEncoding::Cp932) << "陦\uFFFD"
            << int(TextEncoding::Cp932) << true;
        QTest::newRow("Shift-JIS chosen, bytes written back as others")
            << QByteArray("\xED\x40") << int(OpenEncoding::Cp932) << "纊" << int(TextEncoding::Cp932) << true;
        QTest::newRow("UTF-8 chosen, with a mark")
            << QByteArray(
                   "\xEF\xBB\xBF"
                   "a")
            << int(OpenEncoding::Utf8) << "a" << int(TextEncoding::Utf8WithMark) << false;
    }
    void openInTheEncodingChosen() {
        QFETCH(QByteArray, file);
        QFETCH(int, encoding);
        QFETCH(QString, text);
        QFETCH(int, saved);
        QFETCH(bool, lossy);
        writeAll(path("in.txt"), file);
        m_dialogs.names = {path("in.txt"), path("out.txt")};
        if (lossy) m_dialogs.names.insert(m_dialogs.names.begin() + 1, QString());
        m_dialogs.encodings = {OpenEncoding(encoding)};
        trigger("mnuOpen");
        QCOMPARE(toQString(pane("Text1")->text()), text);
        const int dialogsBefore = m_dialogs.saved;
        m_boxes->setNextAnswer(Answer::No);
        focus(pane("Text1"));
        QTest::keyClick(pane("Text1"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_dialogs.saved - dialogsBefore, lossy ? 1 : 0);
        if (lossy) QCOMPARE(readAll(path("in.txt")), file);
        m_boxes->setNextAnswer(Answer::No);
        trigger("mnu1Name");
        QCOMPARE(int(m_dialogs.lastProposal.encoding), saved);
    }

    // The status bar shows the encoding a file was read in, a guess marked; the file opens again
    // in the encoding picked from the File menu.
    void reopenInAnotherEncoding() {
        writeAll(path("in.txt"), "\xC3\xBD\n");  // "ﾃｽ" in Shift-JIS, "ý" in UTF-8
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        auto* format = get<QLabel>("StatusFileFormat");
        QCOMPARE(format->text(), QStringLiteral("Shift-JIS（推定）・Lf"));
        QCOMPARE(toQString(pane("Text1")->text()), QStringLiteral("ﾃｽ\n"));
        auto* reopen = get<QMenu>("mnuReopen");
        QVERIFY(reopen->menuAction()->isEnabled());
        clickMenuItem(reopen, reopen->actions().at(1));  // UTF-8
        QTRY_COMPARE(toQString(pane("Text1")->text()), QStringLiteral("ý\n"));
        QCOMPARE(format->text(), QStringLiteral("UTF-8・Lf"));
        pane("Text1")->document()->undo();
        QCOMPARE(toQString(pane("Text1")->text()), QStringLiteral("ﾃｽ\r\n"));
        // Bytes that read as no text in any encoding are refused, the upper text kept.
        writeAll(path("binary.txt"), QByteArray("a\0\x80", 3));
        m_dialogs.names = {path("binary.txt")};
        trigger("mnuOpen");
        QCOMPARE(m_boxes->texts(),
                 QStringList{QStringLiteral(
                     "文字コードを判別できないため開けませんでした。文字コードを指定して開いて下さい。")});
        QCOMPARE(toQString(pane("Text1")->text()), QStringLiteral("ﾃｽ\r\n"));
    }

    // The title names the upper pane's file; the dialogs start in the folder used last.
    void titleAndFolderFollowTheFiles() {
        QCOMPARE(m_window->windowTitle(), kWindowCaption);
        QDir(m_dir->path()).mkdir("sub");
        writeAll(path("sub/名簿.txt"), "a");
        m_dialogs.names = {path("sub/名簿.txt"), path("結果.txt"), QString()};
        trigger("mnuOpen");
        QCOMPARE(m_window->windowTitle(), QStringLiteral("名簿.txt - Kivoオートフィル"));
        pane("Text2")->assign(u"x");
        trigger("mnu2Name");
        QCOMPARE(m_dialogs.lastFolder, QFileInfo(path("sub/名簿.txt")).absolutePath());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("名簿.txt - Kivoオートフィル"));
        trigger("mnuOpen");
        QCOMPARE(m_dialogs.lastFolder, QFileInfo(path("結果.txt")).absolutePath());
        m_boxes->setNextAnswer(Answer::Yes);
        click("Command1");
        QCOMPARE(m_window->windowTitle(), kWindowCaption);
    }

    void recentFilesOpenFromTheMenu() {
        auto* recent = get<QMenu>("mnuRecent");
        QVERIFY(!recent->menuAction()->isEnabled());
        for (int i = 0; i < 12; ++i) {
            writeAll(path(QStringLiteral("%1.txt").arg(i)), QByteArray::number(i));
            m_dialogs.names = {path(QStringLiteral("%1.txt").arg(i))};
            trigger("mnuOpen");
        }
        // Opening a file again moves it to the top.
        m_dialogs.names = {path("5.txt")};
        trigger("mnuOpen");
        QStringList captions;
        for (const QAction* item : recent->actions())
            captions.append(QFileInfo(item->text()).fileName());
        QCOMPARE(captions, (QStringList{"5.txt", "11.txt", "10.txt", "9.txt", "8.txt", "7.txt", "6.txt",
                                        "4.txt", "3.txt", "2.txt"}));
        QVERIFY(recent->actions().front()->text().startsWith("&1 "));
        QVERIFY(recent->actions().back()->text().startsWith("&0 "));
        clickMenuItem(recent, recent->actions()[3]);
        QTRY_VERIFY(pane("Text1")->text() == Text(u"9"));
        QCOMPARE(QFileInfo(recent->actions().front()->text()).fileName(), QStringLiteral("9.txt"));
        // A file that went away: the message, and the entry goes.
        QFile::remove(path("8.txt"));
        clickMenuItem(recent, recent->actions()[4]);
        QTRY_COMPARE(m_boxes->texts(), QStringList{"ファイルを開けませんでした。"});
        QCOMPARE(recent->actions().size(), 9);
        QVERIFY(pane("Text1")->text() == Text(u"9"));
    }

    // A file dropped on either pane opens into the upper pane; dropped text is inserted.
    void droppedFilesOpenDroppedTextIsInserted_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("dropped");  // a file name, or text
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("Shift-JIS file on the upper pane") << "Text1"
                                                          << "sjis.txt"
                                                          << "全角"
                                                          << "lower";
        QTest::newRow("UTF-8 file on the lower pane") << "Text2"
                                                      << "utf8.txt"
                                                      << "行1\n行2\n"
                                                      << "lower";
        QTest::newRow("text on the upper pane") << "Text1"
                                                << "dropped"
                                                << "droppedupper"
                                                << "lower";
        QTest::newRow("text on the lower pane") << "Text2"
                                                << "dropped"
                                                << "upper"
                                                << "droppedlower";
        QTest::newRow("a missing file") << "Text1"
                                        << "missing.txt"
                                        << "upper"
                                        << "lower";
    }
    void droppedFilesOpenDroppedTextIsInserted() {
        QFETCH(QString, target);
        QFETCH(QString, dropped);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        writeAll(path("sjis.txt"), kCp932FullWidth);
        writeAll(path("utf8.txt"), "行1\n行2\n");
        pane("Text1")->assign(u"upper");
        pane("Text2")->assign(u"lower");
        QMimeData data;
        if (dropped.endsWith(".txt")) {
            data.setUrls({QUrl::fromLocalFile(path(dropped))});
            data.setText(QUrl::fromLocalFile(path(dropped)).toString());
        } else {
            data.setText(dropped);
        }
        drop(pane(target), data);
        QCOMPARE(toQString(pane("Text1")->text()), upper);
        QCOMPARE(toQString(pane("Text2")->text()), lower);
        QCOMPARE(m_boxes->texts(),
                 dropped == "missing.txt" ? QStringList{"ファイルを開けませんでした。"} : QStringList{});
    }

    void droppedFileWaitsForNoRun() {
        writeAll(path("in.txt"), "new");
        pane("Text1")->assign(u"upper");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path("in.txt"))});
        state().guard = true;
        drop(pane("Text2"), data);
        state().guard = false;
        QVERIFY(pane("Text1")->text() == Text(u"upper"));
    }

    // The real dialog: it starts in the folder last used with the opened file's format, takes a
    // change of the line break from the keyboard, and adds ".txt" to a bare name.
    void saveDialogOffersTheFormat() {
        writeAll(path("in.txt"), "行\n");
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        QtFileDialogs real(m_window.get());
        m_window->setFileDialogs(&real);
        QString folder, encoding, lineBreak, filter;
        QStringList filters;
        whenDialogShows([&](QFileDialog* dialog) {
            folder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            filter = dialog->selectedNameFilter();
            encoding = dialog->findChild<QComboBox*>("SaveEncoding")->currentText();
            auto* lineBreaks = dialog->findChild<QComboBox*>("SaveLineBreak");
            lineBreak = lineBreaks->currentText();
            QTest::keyClick(lineBreaks, Qt::Key_Up);
            QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), "roster");
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                              Qt::LeftButton);
        });
        trigger("mnu1Name");
        m_window->setFileDialogs(&m_dialogs);
        QCOMPARE(folder, QDir(m_dir->path()).absolutePath());
        QCOMPARE(filters,
                 (QStringList{"テキストファイル(*.txt)", "CSV/TSV(*.csv *.tsv)", "すべてのファイル(*)"}));
        QCOMPARE(filter, filters.constFirst());
        QCOMPARE(encoding, QStringLiteral("UTF-8"));
        QCOMPARE(lineBreak, QStringLiteral("Lf"));
        QCOMPARE(readAll(path("roster.txt")), QByteArray("行\r\n"));
    }

    // The real dialog asks before it replaces a file, also one named without ".txt"; No, the
    // default, leaves the file and the dialog open.
    void saveDialogAsksBeforeReplacing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("replace");
        QTest::newRow("name typed, kept") << "old.txt" << false;
        QTest::newRow("name without .txt, kept") << "old" << false;
        QTest::newRow("name typed, replaced") << "old.txt" << true;
    }
    void saveDialogAsksBeforeReplacing() {
        QFETCH(QString, typed);
        QFETCH(bool, replace);
        writeAll(path("old.txt"), "old");
        pane("Text2")->assign(u"new");
        QtFileDialogs real(m_window.get());
        m_window->setFileDialogs(&real);
        QString question;
        bool noIsTheDefault = false, stayedOpen = false;
        whenDialogShows([&](QFileDialog* dialog) {
            whenDialogShows<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                noIsTheDefault = box->defaultButton() == box->button(QMessageBox::No);
                QTest::mouseClick(box->button(replace ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
            });
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            dialog->setDirectory(m_dir->path());  // where the user would have gone
            QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), typed);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
            stayedOpen = dialog->isVisible();
            if (stayedOpen) QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        trigger("mnu2Name");
        m_window->setFileDialogs(&m_dialogs);
        QVERIFY2(question.contains("old.txt"), qPrintable(question));
        QVERIFY(noIsTheDefault);
        QCOMPARE(stayedOpen, !replace);
        QCOMPARE(readAll(path("old.txt")), replace ? QByteArray("new\r\n") : QByteArray("old"));
    }

    // A bare name takes the extension of the file type chosen from the keyboard.
    void saveDialogAddsTheTypesExtension_data() {
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("saved");
        QTest::newRow("CSV/TSV") << 1 << "table.csv";
        QTest::newRow("all files") << 2 << "table";
    }
    void saveDialogAddsTheTypesExtension() {
        QFETCH(int, downs);
        QFETCH(QString, saved);
        pane("Text2")->assign(u"a,b");
        QtFileDialogs real(m_window.get());
        m_window->setFileDialogs(&real);
        whenDialogShows([&](QFileDialog* dialog) {
            dialog->setDirectory(m_dir->path());
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), "table");
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                              Qt::LeftButton);
        });
        trigger("mnu2Name");
        m_window->setFileDialogs(&m_dialogs);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{saved});
    }

    void openDialogOffersTheEncoding() {
        writeAll(path("in.txt"), "\xC3\xBD");
        m_dialogs.names = {path("in.txt")};
        trigger("mnuOpen");
        QtFileDialogs real(m_window.get());
        m_window->setFileDialogs(&real);
        QStringList encodings;
        whenDialogShows([&](QFileDialog* dialog) {
            auto* combo = dialog->findChild<QComboBox*>("OpenEncoding");
            for (int i = 0; i < combo->count(); ++i)
                encodings.append(combo->itemText(i));
            QTest::keyClick(combo, Qt::Key_Home);
            QTest::keyClick(combo, Qt::Key_Down);
            QTest::keyClick(combo, Qt::Key_Down);
            QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), "in.txt");
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open),
                              Qt::LeftButton);
        });
        trigger("mnuOpen");
        m_window->setFileDialogs(&m_dialogs);
        QCOMPARE(encodings, (QStringList{"自動", "Shift-JIS", "UTF-8", "UTF-16LE", "UTF-16BE", "EUC-JP"}));
        QCOMPARE(toQString(pane("Text1")->text()), QStringLiteral("ý"));
    }

    void textThatFitsAsksNothing() {
        pane("Text1")->assign(u"全角 and ?");
        m_dialogs.names = {path("out.txt")};
        trigger("mnu1Name");
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(readAll(path("out.txt")), kCp932FullWidth + " and ?\r\n");
    }
};

KIVO_WINDOW_TEST_MAIN(FilesTest)
#include "files_test.moc"
