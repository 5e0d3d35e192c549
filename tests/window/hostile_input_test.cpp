// Bad input everywhere: every parameter control fed hostile values the way a user pastes them,
// then its operation run; every file-open path fed hostile files. Each ends with a result or a
// clear message, the upper text is never changed, and the window is idle again.
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "ops/operation.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/text_files.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

const QString kOpenFailed = QStringLiteral("ファイルを開けませんでした。");
const QString kNotTextFile =
    QStringLiteral("文字コードを判別できないため開けませんでした。文字コードを指定して開いて下さい。");
const QString kPasteTooLarge = QStringLiteral("貼り付ける文字列が大きすぎます。");
// Digits, signs, a number, line breaks, BS and Tab: every operation has something to work on.
const Text kUpper = u"ab12 -3.5\r\ncd+45\t6\r\n７８９ｚ\r\nxyz";

// The parameter controls of each operation code.
const std::vector<std::vector<const char*>>& controlsByCode() {
    static const std::vector<std::vector<const char*>> table = {
        {"Combo41", "Combo42"},
        {"Combo39"},
        {"Combo40", "Text26"},
        {"Combo19"},
        {"Combo31", "Text3"},
        {"Combo34", "Text4"},
        {"Combo1", "Combo32", "Text5"},
        {"Text7", "Combo2", "Combo33", "Text8"},
        {},
        {},
        {},
        {},
        {"Combo47", "Text13"},
        {},
        {"Text11"},
        {},
        {"Combo38", "Text12"},
        {"Combo3", "Combo4", "Text14"},
        {"Combo5"},
        {"Text16", "Text17", "Text18"},
        {"Combo43", "Text19", "Text20", "Text21"},
        {"Combo18", "Combo6", "Combo7", "Text34"},
        {"Combo8", "Combo9"},
        {"Combo10", "Combo11"},
        {"Combo16", "Combo12", "Combo13"},
        {"Combo17", "Combo14", "Combo15"},
        {"Text6", "Combo58", "Text30", "Combo44", "Combo45", "Combo46", "ComboId(0)", "ComboStep(0)",
         "ComboFm(0)", "ComboId(16)", "ComboStep(16)", "ComboFm(16)"},
        {"Combo20"},
        {"Combo21", "Combo22", "Combo23", "Combo24", "Combo25", "Combo26", "Combo27", "Text38"},
        {"Combo28", "Combo29", "Combo30", "Combo35", "Combo36", "Combo37", "Text41"},
        {"Combo48", "Combo49", "Combo50", "Text15", "Text22"},
        {"Combo51", "Combo52", "Combo53", "Text23", "Text24"},
        {"Text27"},
        {"Text28", "Combo54", "Combo57"},
        {"Text29", "Combo55", "Combo56"},
    };
    return table;
}

// What a user can paste: more than any box takes, digits of the other width, signs, exponents
// beyond a double, NaN, blanks in front, nothing, line breaks, BS and a lone surrogate.
QList<std::pair<const char*, QString>> hostileValues() {
    QString lines;
    while (lines.size() < 70000)
        lines += QStringLiteral("1a\r\n");
    return {
        {"70,000 digits", QString(70000, QLatin1Char('9'))},
        {"70,000 characters of lines", lines},
        // Read as "03": a line or count the four lines of the upper text have.
        {"full-width digits", QStringLiteral("０３")},
        {"full-width zero", QStringLiteral("０")},
        {"minus", QStringLiteral("-1")},
        {"plus", QStringLiteral("+5")},
        {"full-width minus", QStringLiteral("－３")},
        {"1e999", QStringLiteral("1e999")},
        {"-1e999", QStringLiteral("-1e999")},
        {"NaN", QStringLiteral("NaN")},
        {"leading blanks", QStringLiteral("  7")},
        {"leading ideographic space", QStringLiteral("\u30007")},
        {"empty", QString()},
        {"zero", QStringLiteral("0")},
        {"past 999", QStringLiteral("1000")},
        {"past 32 bits", QStringLiteral("2147483648")},
        {"line breaks and BS", QStringLiteral("\r\n\b\t")},
        {"lone surrogate", QString(QChar(0xD800))},
    };
}

// Operation code -> (tab, selector).
std::pair<int, QString> selectorOf(int code) {
    if (code <= 12) return {0, QString::fromStdString(arrayName("Option1", code))};
    if (code <= 25) return {1, QString::fromStdString(arrayName("Option2", code - 13))};
    if (code == 26) return {2, QStringLiteral("Check3")};
    return {3, QString::fromStdString(arrayName("Option4", code - 27))};
}

// The address space may grow by `room` bytes while this lives: a larger allocation fails with
// std::bad_alloc instead of being granted and paged in.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t room) {
        getrlimit(RLIMIT_AS, &m_old);
        QFile status(QStringLiteral("/proc/self/status"));
        rlim_t used = 0;
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmSize:"))
                    used = line.mid(7).trimmed().split(' ').front().toULongLong() * 1024;
        rlimit lower = m_old;
        lower.rlim_cur = used + room;
        setrlimit(RLIMIT_AS, &lower);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_old); }

private:
    rlimit m_old{};
};

// Root reads every file whatever its mode: for a file without read permission to fail as it does
// for a user, the overriding capabilities leave the effective set while this lives.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        if (syscall(SYS_capget, &m_header, m_old) != 0) return;
        __user_cap_data_struct reduced[2] = {m_old[0], m_old[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (m_dropped) syscall(SYS_capset, &m_header, m_old);
    }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_old[2]{};
    bool m_dropped = false;
};

}  // namespace

class HostileInputTest : public WindowFixture {
    Q_OBJECT

private:
    void startTest(bool) override { pane("Text1")->assign(kUpper); }

    // Replaces the control's text as a paste does, so that its input rule sees the whole value.
    static void paste(QWidget* control, const QString& value) {
        QLineEdit* line = qobject_cast<QLineEdit*>(control);
        if (auto* combo = qobject_cast<QComboBox*>(control)) line = combo->lineEdit();
        if (line) {
            line->selectAll();
            line->insert(value);
        } else if (auto* box = qobject_cast<PlainTextBox*>(control)) {
            box->selectAll();
            box->insertPlainText(value);
        } else {
            qFatal("no text control");
        }
    }

    void select(int code) {
        const auto [tab, selector] = selectorOf(code);
        showTab(tab);
        get<QAbstractButton>(selector)->setChecked(true);
    }

    // The window is usable again and the upper text is as it was.
    void verifyIdleAndUpperKept() {
        QVERIFY(!state().guard);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
        QVERIFY(pane("Text1")->isEnabled());
        QVERIFY(pane("Text1")->text() == kUpper);
    }

private slots:
    // Each row: one operation with every hostile value in each of its controls, one at a time.
    void everyControlTakesHostileValues_data() {
        QTest::addColumn<int>("code");
        for (int code = 0; code < static_cast<int>(controlsByCode().size()); ++code)
            if (!controlsByCode()[static_cast<std::size_t>(code)].empty())
                QTest::addRow("code %d", code) << code;
    }
    void everyControlTakesHostileValues() {
        QFETCH(int, code);
        for (const char* name : controlsByCode()[static_cast<std::size_t>(code)]) {
            for (const auto& [label, value] : hostileValues()) {
                const QByteArray where = QByteArray(name) + ": " + label;
                QWidget* control = get<QWidget>(QLatin1String(name));
                m_boxes->clear();
                pane("Text2")->assign(u"");
                select(code);
                paste(control, value);
                QVERIFY2(pane("Text1")->text() == kUpper, where);
                // A box left holding more than it takes would have refused the paste.
                if (auto* line = qobject_cast<QLineEdit*>(control))
                    QVERIFY2(line->text().size() <= 65535, where);
                m_window->execute();
                QVERIFY2(!state().guard, where);
                QVERIFY2(get<QPushButton>("Command3")->isEnabled(), where);
                QVERIFY2(pane("Text1")->text() == kUpper, where);
                QVERIFY2(m_window->operationCode() == code, where);
                QVERIFY2(!pane("Text2")->isEmpty() || !m_boxes->shown().isEmpty(), where);
                // Put the control back so the next value meets the operation's defaults.
                ParamControls::writeControl(control, loadDefault(name));
            }
        }
    }

    // 70,000 digits each replaced by 65,535 characters would need 9 GB: the allocation fails and
    // the run ends with the operation's error message, the upper text untouched.
    void resultTooLargeForMemoryEndsWithTheErrorMessage() {
        const Text digits(70000, u'7');
        pane("Text1")->assign(digits);
        select(5);
        paste(get<QWidget>("Text4"), QString(65535, QLatin1Char('x')));
        {
            const AddressSpaceLimit limit(rlim_t{1} << 30);
            m_window->execute();
        }
        QCOMPARE(m_boxes->texts(), QStringList{toQString(kGeneralError)});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QVERIFY(pane("Text2")->isEmpty());
        QVERIFY(pane("Text1")->text() == digits);
        QVERIFY(!state().guard);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
    }

    // A result the lower pane cannot hold is refused before the editor builds its lines: the
    // error message, the lower pane empty, the upper text and the window as they were. Without the
    // check the editor ran out of memory inside its layout and took the window down.
    void resultThePaneCannotHoldIsRefused_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<qulonglong>("room");  // address space the run may add, in MiB
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("message");  // the operation's own error message
        const QString general = toQString(kGeneralError);
        // 10 M units in 1 M lines, reversed: the editor needs about 300 MB for them.
        QTest::newRow("reverse, 200 MB") << 0 << 200ull << false << general;
        QTest::newRow("reverse, 2 GB") << 0 << 2048ull << true << general;
        // 20,000,000 copies of a line: 250 M units in 20 M lines, about 6 GB for the editor.
        QTest::newRow("loop, 20,000,000 copies, 4 GB")
            << 26 << 4096ull << false << QStringLiteral("文字数オーバーまたはその他エラーです。");
    }
    void resultThePaneCannotHoldIsRefused() {
        QFETCH(int, code);
        QFETCH(qulonglong, room);
        QFETCH(bool, shown);
        QFETCH(QString, message);
        Text upper = u"No.1";
        if (code == 0) {
            upper.clear();
            for (int i = 0; i < 1'000'000; ++i)
                upper += u"01234567\r\n";
        }
        pane("Text1")->assign(upper);
        select(code);
        if (code == 26) {
            get<QAbstractButton>("Check1(0)")->setChecked(true);
            paste(get<QWidget>("Text6"), QStringLiteral("20000000"));
        }
        {
            const AddressSpaceLimit limit(room << 20);
            m_window->execute();
        }
        QVERIFY(!m_window->state().guard);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
        QVERIFY(pane("Text1")->text() == upper);
        if (shown) {
            QVERIFY(m_boxes->texts().isEmpty());
            QCOMPARE(pane("Text2")->text().size(), upper.size());
        } else {
            QCOMPARE(m_boxes->texts(), QStringList{message});
            QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
            QVERIFY(pane("Text2")->isEmpty());
        }
    }

    // A run keeps its change of the lower pane for Ctrl+Z only while the records of a step leave
    // the memory the texts need: 1 M lines reversed take about 64 MB of them.
    void resultUndoneOnlyWhenMemoryAllows_data() {
        QTest::addColumn<qulonglong>("room");  // address space the run may add, in MiB
        QTest::addColumn<bool>("undoable");
        QTest::newRow("600 MB") << 600ull << false;
        QTest::newRow("2 GB") << 2048ull << true;
    }
    void resultUndoneOnlyWhenMemoryAllows() {
        QFETCH(qulonglong, room);
        QFETCH(bool, undoable);
        Text upper;
        for (int i = 0; i < 1'000'000; ++i)
            upper += u"01234567\r\n";
        pane("Text1")->assign(upper);
        PlainTextBox* lower = pane("Text2");
        lower->assign(u"old");
        select(0);
        {
            const AddressSpaceLimit limit(room << 20);
            m_window->execute();
        }
        QVERIFY(m_boxes->texts().size() == 1);  // the overwrite question only
        QCOMPARE(lower->text().size(), upper.size());
        lower->setFocus();
        QTest::keyClick(lower, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(lower->text().size(), undoable ? std::size_t{3} : upper.size());
    }

    // A file the upper pane cannot hold is not opened, and the upper text stays.
    void fileThePaneCannotHoldIsNotOpened() {
        const QString path = m_dir->filePath(QStringLiteral("lines"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray("01234567\r\n").repeated(1'000'000)), 10'000'000);
        file.close();
        m_dialogs.names = {path};
        {
            const AddressSpaceLimit limit(rlim_t{200} << 20);
            get<QAction>("mnuOpen")->trigger();
        }
        QCOMPARE(m_boxes->texts(), QStringList{kOpenFailed});
        QVERIFY(pane("Text1")->text() == kUpper);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
    }

    // 10 M units in 1 M lines need about 300 MB in the editor: a paste of them with 200 MB left is
    // refused, whichever way it comes, and the pane keeps its text.
    void pasteThePaneCannotHoldIsRefused_data() {
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<bool>("guarded");  // the lower pane's filter stands aside: Qt's own paste
        QTest::newRow("Ctrl+V") << "Text1" << false;
        QTest::newRow("Qt's paste") << "Text2" << true;
    }
    void pasteThePaneCannotHoldIsRefused() {
        QFETCH(QString, paneName);
        QFETCH(bool, guarded);
        QGuiApplication::clipboard()->setText(QStringLiteral("01234567\n").repeated(1'000'000));
        PlainTextBox* p = pane(paneName);
        p->assign(kUpper);
        p->setFocus();
        state().guard = guarded;
        {
            const AddressSpaceLimit limit(rlim_t{200} << 20);
            QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        }
        state().guard = false;
        QTRY_COMPARE(m_boxes->texts(), QStringList{kPasteTooLarge});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QVERIFY(p->text() == kUpper);
        QVERIFY(!p->document()->isUndoAvailable());
    }

    // A kept upper text the pane cannot show is set aside with a message, and the close that
    // follows cannot write the empty pane over it.
    void keptTextThePaneCannotHoldIsSetAside() {
        const QString folder = path(QStringLiteral("session"));
        QVERIFY(QDir().mkpath(folder));
        const QString kept = folder + QStringLiteral("/upper.utf16");
        const QString lines = QStringLiteral("01234567\r\n").repeated(1'000'000);
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(lines.utf16()), lines.size() * 2);
        file.close();
        pane("Text1")->assign(u"");
        {
            const AddressSpaceLimit limit(rlim_t{200} << 20);
            m_window->restoreSession(folder);
        }
        QCOMPARE(m_boxes->shown().size(), 1);
        const QStringList message = m_boxes->texts().front().split('\n');
        QCOMPARE(message.size(), 2);
        QVERIFY(pane("Text1")->isEmpty());
        QCOMPARE(QFileInfo(message[1]).size(), lines.size() * 2);
        m_window->closeQuietly();
        QCOMPARE(QFileInfo(kept).size(), 0);
        QCOMPARE(QFileInfo(message[1]).size(), lines.size() * 2);
    }

    // Each file opens whole, or is refused with a message and the upper text stays.
    void hostileFilesEndClearly_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("binary") << "binary" << kNotTextFile;
        QTest::newRow("invalid Shift-JIS") << "invalid Shift-JIS" << kNotTextFile;
        QTest::newRow("100 MB") << "100 MB" << QString();
        QTest::newRow("a directory") << "directory" << kOpenFailed;
        QTest::newRow("no read permission") << "no permission" << kOpenFailed;
        QTest::newRow("a FIFO without a writer") << "fifo" << kOpenFailed;
        QTest::newRow("an endless device") << "device" << kOpenFailed;
        QTest::newRow("missing") << "missing" << kOpenFailed;
    }
    void hostileFilesEndClearly() {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        const QString path = m_dir->filePath(QStringLiteral("hostile"));
        QByteArray content;
        if (kind == "binary") {
            for (int i = 0; i < 4096; ++i)
                content.append(static_cast<char>((i * 131) & 0xFF));
        } else if (kind == "invalid Shift-JIS") {
            // Lead bytes without their trail byte, a trail byte alone, bytes no character has.
            content = QByteArray("a\x81\r\n\x82\x20\xa0\x80\xfd\xfe\xff\x81", 12);
        } else if (kind == "100 MB") {
            const QByteArray line("0123456789abcdefghijklmnopqrstuvwxyz\x82\xa0\r\n");
            content.reserve(100 * 1024 * 1024 + line.size());
            while (content.size() < 100 * 1024 * 1024)
                content.append(line);
        } else if (kind == "no permission") {
            content = "secret";
        }
        std::unique_ptr<WithoutFileOverride> noOverride;
        QString chosen = path;
        if (kind == "directory") {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("hostile")));
        } else if (kind == "fifo") {
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else if (kind == "device") {
            chosen = QStringLiteral("/dev/zero");
        } else if (kind != "missing") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(content), content.size());
            f.close();
            if (kind == "no permission") {
                QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
                noOverride = std::make_unique<WithoutFileOverride>();
            }
        }
        m_dialogs.names = {chosen};
        pane("Text2")->assign(u"lower");
        get<QAction>("mnuOpen")->trigger();
        noOverride.reset();
        QVERIFY(!state().guard);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
        QVERIFY(pane("Text2")->text() == Text(u"lower"));
        if (refusal.isEmpty()) {
            QVERIFY(m_boxes->texts().isEmpty());
            const std::string bytes(content.constData(), static_cast<std::size_t>(content.size()));
            QVERIFY(pane("Text1")->text() == decodeTextFile(bytes)->text);
        } else {
            QCOMPARE(m_boxes->texts(), QStringList{refusal});
            QVERIFY(pane("Text1")->text() == kUpper);
        }
    }
};

KIVO_WINDOW_TEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
