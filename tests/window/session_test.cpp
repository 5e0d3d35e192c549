// The window as it was left: every start gives back the tab, the selected operations, the
// parameters, the window's place and both texts, kept where only the user can read them.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "window/controls.h"
#include "window/session.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

// Readable and writable by its owner, by no one else.
bool ownerOnly(const QString& path) {
    const QFileDevice::Permissions p = QFile::permissions(path);
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    return p.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner) && !(p & others);
}

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// What is at `path`: a FIFO, a folder, or a file and its size.
QString kindAt(const QString& path) {
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) return QStringLiteral("nothing");
    if (S_ISFIFO(info.st_mode)) return QStringLiteral("FIFO");
    if (S_ISDIR(info.st_mode)) return QStringLiteral("folder");
    return QStringLiteral("file of %1 bytes").arg(info.st_size);
}

// Every parameter as "name=value", readable when a comparison fails.
QStringList paramsOf(const FrmMain& window) {
    const ControlTexts params = window.controls().read();
    QStringList all;
    for (const auto& [name, value] : params.all())
        all.append(QString::fromStdString(name) + "=" + toQString(value));
    return all;
}

}  // namespace

class SessionTest : public WindowFixture {
    Q_OBJECT

    QString folder() const { return path(QStringLiteral("session")); }

    void clickTab(int tab) const {
        QTabBar* strip = tabs()->tabBar();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
    }
    void typeInto(QWidget* w, const QString& text) const {
        focus(w);
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }
    // Clicks the File menu's item `name` as the user does.
    void clickFileMenu(const char* name) const {
        auto* menu = get<QMenu>("mnuFile");
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(get<QAction>(name)).center());
    }
    // A second start from the kept session.
    std::unique_ptr<FrmMain> restart() const {
        auto window = std::make_unique<FrmMain>(m_boxes.get());
        window->setFileDialogs(const_cast<ScriptedFileDialogs*>(&m_dialogs));
        window->fillLists();
        window->restoreSession(folder());
        window->show();
        window->finishStartUp();
        return window;
    }

private slots:
    void aFreshFolderGivesTheDefaults() {
        const QStringList before = paramsOf(*m_window);
        m_window->restoreSession(folder());
        QCOMPARE(paramsOf(*m_window), before);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(pane("Text1")->isEmpty());
        QVERIFY(!QDir(folder()).exists());
    }

    void everythingComesBack() {
        m_window->restoreSession(folder());
        clickTab(3);
        QTest::mouseClick(option("Option4(1)"), Qt::LeftButton, {}, QPoint(5, 5));
        typeInto(get<QLineEdit>("Text38"), "120");
        QTest::keyClicks(pane("Text1"), "abc");
        QTest::keyClicks(pane("Text2"), "xyz");
        m_window->findChild<QAction*>("mnuRecipe")->trigger();
        QTest::mouseClick(get<QPushButton>("cmdRecipeAdd"), Qt::LeftButton);
        m_dialogs.names = {path("sort.recipe")};
        QTest::mouseClick(get<QPushButton>("cmdRecipeSave"), Qt::LeftButton);
        m_window->resize(1100, 700);
        const QStringList params = paramsOf(*m_window);
        m_window->closeQuietly();

        QVERIFY(ownerOnly(folder()));
        const QStringList files = QDir(folder()).entryList(QDir::Files);
        QCOMPARE(files, (QStringList{"lower.utf16", "upper.utf16", "window.ini"}));
        for (const QString& file : files)
            QVERIFY2(ownerOnly(folder() + "/" + file), qPrintable(file));

        const auto again = restart();
        QCOMPARE(again->findChild<QTabWidget*>("SSTab1")->currentIndex(), 3);
        QVERIFY(again->findChild<QRadioButton*>("Option4(1)")->isChecked());
        QCOMPARE(paramsOf(*again), params);
        QCOMPARE(ParamControls::readControl(again->findChild<QWidget*>("Text38")), Text(u"120"));
        QVERIFY(again->findChild<PlainTextBox*>("Text1")->text() == Text(u"abc"));
        QVERIFY(again->findChild<PlainTextBox*>("Text2")->text() == Text(u"xyz"));
        QCOMPARE(again->size(), QSize(1100, 700));
        const QList<QAction*> recipes = again->findChild<QMenu*>("mnuRecentRecipes")->actions();
        QCOMPARE(recipes.size(), 1);
        QVERIFY(recipes.front()->text().endsWith(QStringLiteral("sort.recipe")));
        again->closeQuietly();
    }

    // A session file kept by an earlier version, its parameters under the names of their
    // controls, still sets the window and runs as it did.
    void anEarlierSessionFileStillRuns() {
        QVERIFY(QDir().mkpath(folder()));
        {
            QSettings settings(folder() + "/window.ini", QSettings::IniFormat);
            settings.setValue("tab", 0);
            settings.setValue("selected", QStringList{"Option1(4)"});
            settings.setValue("params/Combo31", QStringLiteral("右"));
            settings.setValue("params/Text3", QStringLiteral("・"));
            settings.setValue("params/Check5(1)", QStringLiteral("0"));
        }
        const auto again = restart();
        QCOMPARE(ParamControls::readControl(again->findChild<QWidget*>("Check5(1)")), Text(u"0"));
        again->findChild<PlainTextBox*>("Text1")->assign(u"a\nb");
        QTest::mouseClick(again->findChild<QAbstractButton*>("Command3"), Qt::LeftButton);
        QTRY_VERIFY(again->findChild<PlainTextBox*>("Text2")->text() == Text(u"a・\r\nb・"));
        again->closeQuietly();
    }

    // A crash or a power loss after the pause keeps what was typed.
    void upperTextIsKeptAfterAPause() {
        m_window->restoreSession(folder());
        QTest::keyClicks(pane("Text1"), "typed");
        QTRY_COMPARE_WITH_TIMEOUT(readAll(folder() + "/upper.utf16"), utf16("typed"), 6000);
        QVERIFY(ownerOnly(folder() + "/upper.utf16"));
        const auto afterACrash = restart();
        QVERIFY(afterACrash->findChild<PlainTextBox*>("Text1")->text() == Text(u"typed"));
        afterACrash->closeQuietly();
    }

    // What this program never writes is left aside: the window starts with its defaults.
    void damagedSessionGivesTheDefaults() {
        QDir().mkpath(folder());
        {
            QSettings settings(folder() + "/window.ini", QSettings::IniFormat);
            settings.setValue("tab", 99);
            settings.setValue("upper/encoding", 7);
            settings.setValue("geometry", QByteArray("junk"));
        }
        QFile odd(folder() + "/upper.utf16");
        QVERIFY(odd.open(QIODevice::WriteOnly));
        odd.write("abc");
        odd.close();
        m_window->restoreSession(folder());
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(pane("Text1")->isEmpty());
        m_dialogs.names = {path("out.txt")};
        pane("Text1")->assign(u"a");
        get<QAction>("mnu1Name")->trigger();
        QCOMPARE(m_dialogs.lastProposal, FileFormat{});
    }

    // A kept file that cannot be read whole is renamed aside, as it is, with a message naming where
    // it went; the window starts without it, and the close writes a new file beside it. A text
    // of 4 GB once ended every start in std::bad_alloc.
    void unreadableFilesAreSetAside_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::newRow("lower text of 4 GB") << "lower.utf16"
                                            << "4 GB";
        QTest::newRow("upper text of an odd size") << "upper.utf16"
                                                   << "odd";
        QTest::newRow("upper text a folder") << "upper.utf16"
                                             << "folder";
        QTest::newRow("upper text a FIFO") << "upper.utf16"
                                           << "fifo";
        QTest::newRow("settings a FIFO") << "window.ini"
                                         << "fifo";
    }
    void unreadableFilesAreSetAside() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QVERIFY(QDir().mkpath(folder()));
        const QString kept = folder() + "/" + name;
        if (kind == "folder") {
            QVERIFY(QDir().mkdir(kept));
        } else if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(kept).constData(), 0600), 0);
        } else {
            QFile file(kept);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(kind == "odd" ? file.write("abc") == 3 : file.resize(qint64{4} << 30));
        }
        const QString before = kindAt(kept);
        m_window->restoreSession(folder());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        const QStringList message = m_boxes->texts().front().split('\n');
        QCOMPARE(message.size(), 2);
        QVERIFY2(message[1].startsWith(kept + ".unreadable-"), qPrintable(message[1]));
        QCOMPARE(kindAt(message[1]), before);
        QVERIFY(pane("Text1")->isEmpty() && pane("Text2")->isEmpty());
        QTest::keyClicks(pane("Text1"), "new");
        m_window->closeQuietly();
        QCOMPARE(kindAt(message[1]), before);
        QVERIFY(kindAt(kept).startsWith("file"));
        QVERIFY(restart()->findChild<PlainTextBox*>("Text1")->text() == Text(u"new"));
    }

    // A link among the kept files is replaced by the file, never written through: what it points
    // to keeps its bytes and its mode.
    void linksAreReplacedNotFollowed() {
        QVERIFY(QDir().mkpath(folder()));
        const QFileDevice::Permissions readable =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadOther;
        const std::pair<const char*, QByteArray> links[] = {{"upper.utf16", utf16("linked")},
                                                            {"window.ini", "[General]\ntab=2\n"}};
        for (const auto& [name, content] : links) {
            QFile target(path(name));
            QVERIFY(target.open(QIODevice::WriteOnly));
            target.write(content);
            target.close();
            QVERIFY(QFile::setPermissions(path(name), readable));
            QVERIFY(QFile::link(path(name), folder() + "/" + name));
        }
        m_window->restoreSession(folder());
        QCOMPARE(tabs()->currentIndex(), 2);
        pane("Text1")->moveCursor(QTextCursor::End);
        QTest::keyClicks(pane("Text1"), "typed");
        QTRY_COMPARE_WITH_TIMEOUT(readAll(folder() + "/upper.utf16"), utf16("linkedtyped"), 6000);
        m_window->closeQuietly();
        QVERIFY(m_boxes->shown().isEmpty());
        for (const auto& [name, content] : links) {
            QVERIFY2(!QFileInfo(folder() + "/" + name).isSymLink(), name);
            QVERIFY2(ownerOnly(folder() + "/" + name), name);
            QCOMPARE(readAll(path(name)), content);
            QCOMPARE(QFile::permissions(path(name)), readable);
        }
    }

    // Once, after the pause that keeps the upper text, whenever it cannot be kept.
    void failedKeepIsSaidInTheStatusBar() {
        QFile occupied(folder());
        QVERIFY(occupied.open(QIODevice::WriteOnly));
        occupied.close();
        m_window->restoreSession(folder());
        QTest::keyClicks(pane("Text1"), "typed");
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusBar()->currentMessage(),
                                  QStringLiteral("次回の起動のための上部テキストを保存できませんでした。"),
                                  6000);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void resetSettingsOnlyWhenAgreed_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes") << Answer::Yes;
        QTest::newRow("no") << Answer::No;
    }
    void resetSettingsOnlyWhenAgreed() {
        QFETCH(Answer, answer);
        m_window->restoreSession(folder());
        const QStringList defaults = paramsOf(*m_window);
        clickTab(3);
        QTest::mouseClick(option("Option4(1)"), Qt::LeftButton, {}, QPoint(5, 5));
        typeInto(get<QLineEdit>("Text38"), "120");
        QTest::keyClicks(pane("Text1"), "abc");
        const QStringList changed = paramsOf(*m_window);
        m_boxes->setNextAnswer(answer);
        clickFileMenu("mnuResetSettings");
        QTRY_COMPARE(m_boxes->texts(), QStringList{kResetSettingsQuestion});
        const bool yes = answer == Answer::Yes;
        QCOMPARE(paramsOf(*m_window), yes ? defaults : changed);
        QCOMPARE(tabs()->currentIndex(), yes ? 0 : 3);
        QCOMPARE(option("Option4(0)")->isChecked(), yes);
        QVERIFY(pane("Text1")->text() == Text(u"abc"));
    }
};

KIVO_WINDOW_TEST_MAIN(SessionTest)

#include "session_test.moc"
