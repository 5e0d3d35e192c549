// The window as it was left: every start gives back the tab, the selected operations, the
// parameters, the window's place and both texts, kept where only the user can read them.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

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

// Every parameter as "name=value", readable when a comparison fails.
QStringList paramsOf(const FrmMain& window) {
    const Params params = window.controls().read();
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
