#include "window_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "window/controls.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {

OpenChoice ScriptedFileDialogs::chooseFileToOpen(const QString& folder) {
    ++opened;
    lastFolder = folder;
    OpenChoice choice{next()};
    if (!encodings.empty()) {
        choice.encoding = encodings.front();
        encodings.pop_front();
    }
    return choice;
}

SaveChoice ScriptedFileDialogs::chooseFileToSave(const QString& folder, const FileFormat& proposed) {
    ++saved;
    lastFolder = folder;
    lastProposal = proposed;
    SaveChoice choice{next(), proposed};
    if (!formats.empty()) {
        choice.format = formats.front();
        formats.pop_front();
    }
    return choice;
}

QString ScriptedFileDialogs::next() {
    if (during) during();
    if (names.empty()) return QString();
    QString name = names.front();
    names.pop_front();
    return name;
}

void WindowFixture::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QGuiApplication::clipboard()->clear();
    const QString key = windowKey(QTest::currentTestFunction());
    if (m_window && !key.isEmpty() && key == m_key) {
        m_boxes->clear();
        showTab(m_startTab);
        startTest(true);
        return;
    }
    dropWindow();
    m_key = key;
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_window = std::make_unique<FrmMain>(m_boxes.get());
    m_window->setFileDialogs(&m_dialogs);
    m_window->setClipboard(&m_clipboard);
    m_window->fillLists();
    m_window->show();
    m_window->finishStartUp();
    showTab(m_startTab);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    startTest(false);
}

void WindowFixture::cleanup() {
    m_dialogs.names.clear();
    m_dialogs.encodings.clear();
    m_dialogs.formats.clear();
    m_dialogs.opened = m_dialogs.saved = 0;
    m_dialogs.during = nullptr;
    m_clipboard.refuses = false;
    m_clipboard.looksEmpty = false;
    m_clipboard.serves = -1;
    if (m_key.isEmpty() || QTest::currentTestFailed()) dropWindow();
}

void WindowFixture::cleanupTestCase() {
    dropWindow();
}

void WindowFixture::dropWindow() {
    if (m_window) m_window->closeQuietly();
    m_window.reset();
    m_boxes.reset();
    m_key.clear();
}

PlainTextBox* WindowFixture::pane(const QString& name) const {
    return get<PlainTextBox>(name);
}

QComboBox* WindowFixture::combo(const QString& name) const {
    return get<QComboBox>(name);
}

QCheckBox* WindowFixture::check(const QString& name) const {
    return get<QCheckBox>(name);
}

QRadioButton* WindowFixture::option(const QString& name) const {
    return get<QRadioButton>(name);
}

QTabWidget* WindowFixture::tabs() const {
    return get<QTabWidget>(QStringLiteral("SSTab1"));
}

QString WindowFixture::textOf(const QString& name) const {
    return toQString(ParamControls::readControl(get(name)));
}

void WindowFixture::setByUser(const QString& name, const QString& text) {
    QWidget* w = get(name);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setEditText(text);
    } else if (auto* box = qobject_cast<PlainTextBox*>(w)) {
        box->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(text);
    } else {
        assign(name, text);
    }
}

void WindowFixture::assign(const QString& name, const QString& text) {
    m_window->controls().assign(name.toStdString(), toText(text));
}

void WindowFixture::recordChanges(const QStringList& names, QObject* scope, QStringList& changed) const {
    for (const QString& name : names) {
        auto record = [this, &changed, name] {
            changed.append(state().guard ? name : name + QStringLiteral(" unguarded"));
        };
        QWidget* w = get(name);
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            connect(c, &QComboBox::editTextChanged, scope, record);
        } else if (auto* box = qobject_cast<PlainTextBox*>(w)) {
            connect(box, &QPlainTextEdit::textChanged, scope, record);
        } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
            connect(line, &QLineEdit::textChanged, scope, record);
        }
    }
}

void WindowFixture::click(const QString& button) const {
    QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
}

void WindowFixture::execute() const {
    click(QStringLiteral("Command3"));
}

void WindowFixture::showTab(int tab) const {
    tabs()->setCurrentIndex(tab);
    QApplication::processEvents();
}

QWidget* WindowFixture::showTabOf(const QString& name) const {
    QWidget* control = get(name);
    for (int tab = 0; tab < tabs()->count(); ++tab)
        if (tabs()->widget(tab)->isAncestorOf(control)) showTab(tab);
    return control;
}

void WindowFixture::focus(QWidget* w) const {
    w->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), w);
}

}  // namespace kivo::window
