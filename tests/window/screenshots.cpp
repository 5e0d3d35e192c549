// Renders every screen of the program to PNG files in the directory given as the first argument:
// the seven tabs with a finished run in the panes (tab1.png … tab7.png, the README's pictures),
// the widened text area, the splash and notices windows, the pane menu, the File menu, combo and
// calendar popups, a message box of each icon, the status bar and the save dialog. With "--laptop"
// as the second argument it only places the window on the screen and shoots the whole screen
// (laptop.png), for a run on a small screen with a window manager.
#include <functional>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/frm_info.h"
#include "app/frm_logo.h"
#include "window/app_style.h"
#include "window/controls.h"
#include "window/file_dialog.h"
#include "window/frm_main.h"
#include "window/message_box.h"
#include "window/qtext.h"
#include "window/recipe_panel.h"
#include "window/text_box.h"

namespace {

using namespace kivo::window;

QString g_dir;
int g_failures = 0;

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Lets the window handle its events for `ms` milliseconds: the counts follow after a pause.
void settleFor(int ms) {
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms)
        QApplication::processEvents();
}

void save(const QPixmap& picture, const QString& name) {
    if (!picture.save(g_dir + u'/' + name + QStringLiteral(".png"))) ++g_failures;
}

// `base` with the popups painted where they are on the screen, on a grey ground where they
// stand out of it (a popup is a window of its own, which grabbing `base` leaves out).
QPixmap withPopups(QWidget* base, const std::vector<QWidget*>& popups) {
    const QPoint origin = base->mapToGlobal(QPoint(0, 0));
    QRect area(origin, base->size());
    for (QWidget* popup : popups)
        area |= QRect(popup->mapToGlobal(QPoint(0, 0)), popup->size());
    const qreal ratio = base->devicePixelRatioF();
    QPixmap canvas(area.size() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&canvas);
    painter.drawPixmap(origin - area.topLeft(), base->grab());
    for (QWidget* popup : popups)
        painter.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - area.topLeft(), popup->grab());
    return canvas;
}

template <typename T>
T* get(QWidget& window, const char* name) {
    return window.findChild<T*>(QLatin1String(name));
}

// The controls of one example run, set as the program sets them (no input rule fires).
void assign(FrmMain& window, std::initializer_list<std::pair<const char*, const char16_t*>> values) {
    GuardHold hold(window.state());
    for (const auto& [name, value] : values)
        window.controls().assign(name, kivo::Text(value));
}

void runExample(FrmMain& window, int tab, const char* selector, const char16_t* upper,
                std::initializer_list<std::pair<const char*, const char16_t*>> values) {
    get<QTabWidget>(window, "SSTab1")->setCurrentIndex(tab);
    get<QAbstractButton>(window, selector)->setChecked(true);
    assign(window, values);
    get<PlainTextBox>(window, "Text1")->assign(upper);
    window.execute();
    settleFor(400);
}

void tabs(FrmMain& window) {
    runExample(window, 0, "Option1(4)", u"りんご\r\nみかん\r\nぶどう\r\nもも", {{"Text3", u"・"}});
    save(window.grab(), QStringLiteral("tab1"));
    runExample(window, 1, "Option2(6)", u"<b>太字</b>と<i>斜体</i>\r\n<p>段落</p>",
               {{"Text16", u"<"}, {"Text17", u">"}, {"Text18", u""}});
    save(window.grab(), QStringLiteral("tab2"));
    runExample(window, 2, "Check3", u"第1回 会議室101", {{"Check1(0)", u"1"}, {"Check1(1)", u"1"}});
    save(window.grab(), QStringLiteral("tab3"));
    runExample(window, 3, "Option4(5)", u"", {{"Text27", u"6"}, {"chkYoubi", u"1"}});
    // The pickers start at today; a fixed month keeps the picture the same from day to day.
    for (const char* picker : {"DTPicker1", "DTPicker2", "DTPicker3"})
        assign(window, {{picker, u"2025/04/01"}});
    window.execute();
    settleFor(400);
    save(window.grab(), QStringLiteral("tab4"));
    runExample(window, 4, "Option5(4)", u"第10回 総会\r\n第2回 理事会\r\n第1回 総会\r\n第21回 理事会", {});
    save(window.grab(), QStringLiteral("tab5"));
    runExample(window, 5, "Option6(0)", u"契約日：令和6年4月1日\r\n納品日：2024/5/7\r\n有効期限：2025/3/31",
               {{"Combo66", u"和暦(令和6年1月31日)"}, {"Check6(0)", u"1"}});
    save(window.grab(), QStringLiteral("tab6"));
    runExample(window, 6, "Option7(1)", u"品名,単価,在庫\r\n大福,300,12\r\n\"煎餅, 醤油\",1200,5\r\n飴,45,80",
               {{"Text44", u"2"}, {"Combo74", u"数値順"}, {"Combo75", u"降順"}});
    save(window.grab(), QStringLiteral("tab7"));
}

// The recipe panel with three steps made from the tabs and run on a short list.
void recipePanel(FrmMain& window) {
    auto* panel = get<RecipePanel>(window, "dockRecipe");
    panel->show();
    auto addStep = [&](int tab, const char* selector,
                       std::initializer_list<std::pair<const char*, const char16_t*>> values) {
        get<QTabWidget>(window, "SSTab1")->setCurrentIndex(tab);
        get<QAbstractButton>(window, selector)->setChecked(true);
        assign(window, values);
        panel->addSelected();
    };
    addStep(0, "Option1(4)", {{"Combo31", u"左"}, {"Text3", u"【"}});
    addStep(0, "Option1(4)", {{"Combo31", u"右"}, {"Text3", u"】"}});
    addStep(3, "Option4(0)", {{"Combo20", u"降順でソートする"}});
    get<PlainTextBox>(window, "Text1")->assign(u"名古屋\r\n東京\r\n大阪");
    get<PlainTextBox>(window, "Text2")->assign(u"");
    panel->run();
    settleFor(400);
    save(window.grab(), QStringLiteral("recipe-panel"));
    panel->hide();
    settle();
}

void wideLayout(FrmMain& window) {
    auto* widen = get<QPushButton>(window, "Command25");
    widen->click();
    settle();
    save(window.grab(), QStringLiteral("wide"));
    widen->click();
    settle();
}

void menus(FrmMain& window) {
    auto* upper = get<PlainTextBox>(window, "Text1");
    upper->assign(u"りんご\r\nみかん\r\nぶどう");
    upper->select(0, 3);
    QWidget* viewport = upper->viewport();
    const QPoint at(60, 40);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
    settle();
    auto* paneMenu = window.findChild<QMenu*>(QStringLiteral("mnuMenu"));
    save(withPopups(&window, {paneMenu}), QStringLiteral("pane-menu"));
    paneMenu->hide();

    auto* fileMenu = window.findChild<QMenu*>(QStringLiteral("mnuFile"));
    fileMenu->popup(
        window.menuBar()->mapToGlobal(window.menuBar()->actionGeometry(fileMenu->menuAction()).bottomLeft()));
    settle();
    save(withPopups(&window, {fileMenu}), QStringLiteral("file-menu"));
    fileMenu->hide();
}

// The combos with the longest entries, each with its list open.
void popups(FrmMain& window) {
    const std::pair<int, const char*> combos[] = {{0, "Combo39"}, {0, "Combo19"}, {0, "Combo41"},
                                                  {1, "Combo43"}, {2, "Combo46"}, {3, "Combo53"}};
    auto* tabs = get<QTabWidget>(window, "SSTab1");
    for (const auto& [tab, name] : combos) {
        tabs->setCurrentIndex(tab);
        settle();
        auto* combo = get<QComboBox>(window, name);
        combo->showPopup();
        settle();
        save(withPopups(&window, {combo->view()->window()}), QStringLiteral("popup-") + QLatin1String(name));
        combo->hidePopup();
        settle();
    }
    tabs->setCurrentIndex(3);
    settle();
    auto* picker = get<QDateEdit>(window, "DTPicker1");
    // The calendar opens on a press on the picker's arrow.
    const QPoint arrow(picker->width() - 6, picker->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, picker->mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picker, &press);
    settle();
    QWidget* calendar = picker->calendarWidget()->window();
    if (calendar->isVisible()) {
        save(withPopups(&window, {calendar}), QStringLiteral("popup-DTPicker1"));
        calendar->hide();
    } else {
        ++g_failures;
    }
}

// Shows each message through the program's own message boxes and grabs the box once it is up.
void messageBoxes(FrmMain& window) {
    QtMessageBoxes boxes(&window);
    auto grabNext = [](const QString& name) {
        QTimer::singleShot(300, [name] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) {
                ++g_failures;
                return;
            }
            save(box->grab(), name);
            box->close();
        });
    };
    grabNext(QStringLiteral("message-information"));
    boxes.show(kivo::Icon::Information, QStringLiteral("改行の連続があります。"));
    grabNext(QStringLiteral("message-exclamation"));
    boxes.show(kivo::Icon::Exclamation,
               QStringLiteral("条件が行えない行がある、または文字数、その他のエラーです。"));
    grabNext(QStringLiteral("message-question"));
    boxes.ask(kExitQuestion);
}

// The counts of a selection in the upper pane, with the panes above the status bar.
void statusBar(FrmMain& window) {
    auto* upper = get<PlainTextBox>(window, "Text1");
    upper->assign(u"名簿\r\n山田太郎\r\n鈴木花子\r\n佐藤ｲﾁﾛｳ\r\n");
    upper->setFocus();
    upper->select(4, 14);
    settleFor(600);
    const int band = 140;
    save(window.grab(QRect(0, window.height() - band, window.width(), band)), QStringLiteral("status-bar"));
}

// The save dialog of a pane opened from a UTF-8 file with Lf line breaks.
void saveDialog(FrmMain& window) {
    QTemporaryDir folder;
    for (const char* name : {"名簿.txt", "住所録.txt", "結果.txt"}) {
        QFile file(folder.filePath(QString::fromUtf8(name)));
        if (!file.open(QIODevice::WriteOnly)) ++g_failures;
    }
    QtFileDialogs dialogs(&window);
    QTimer::singleShot(500, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ++g_failures;
            return;
        }
        save(dialog->grab(), QStringLiteral("save-dialog"));
        dialog->reject();
    });
    dialogs.chooseFileToSave(folder.path(), {kivo::TextEncoding::Utf8, kivo::LineBreak::Lf});
}

// The live preview over the lower pane, the lower pane holding an earlier result under it.
void preview(FrmMain& window) {
    get<QTabWidget>(window, "SSTab1")->setCurrentIndex(0);
    get<QAbstractButton>(window, "Option1(4)")->setChecked(true);
    assign(window, {{"Combo31", u"右"}, {"Text3", u"様"}});
    get<PlainTextBox>(window, "Text1")->assign(u"山田太郎\r\n鈴木花子\r\n佐藤一郎\r\n高橋和子");
    get<PlainTextBox>(window, "Text2")->assign(u"・山田太郎\r\n・鈴木花子\r\n・佐藤一郎\r\n・高橋和子");
    get<QCheckBox>(window, "CheckPreview")->setChecked(true);
    settleFor(1200);
    if (!get<QWidget>(window, "Text2Preview")->isVisible()) ++g_failures;
    save(window.grab(), QStringLiteral("preview"));
    get<QCheckBox>(window, "CheckPreview")->setChecked(false);
}

// The whole screen with the window placed on it as a start places it.
void laptop(FrmMain& window) {
    window.placeOnScreen();
    runExample(window, 0, "Option1(4)", u"りんご\r\nみかん\r\nぶどう\r\nもも", {{"Text3", u"・"}});
    settleFor(1500);
    save(window.screen()->grabWindow(0), QStringLiteral("laptop"));
}

void startUpWindows(FrmMain& window) {
    kivo::app::FrmLogo logo;
    logo.show();
    logo.setStatus(kivo::app::kStatusSettingUp);
    settle();
    save(logo.grab(), QStringLiteral("splash"));
    logo.hide();

    kivo::app::NoticeRecord record;
    record.notice =
        u"Kivoオートフィルをご利用いただきありがとうございます。\r\n"
        u"新しい版を公開しました。詳しくはホームページをご覧下さい。";
    kivo::app::FrmInfo info(window, record);
    info.show();
    settle();
    save(info.grab(), QStringLiteral("notices"));
    info.hide();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpApplication(app);
    g_dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kivo-shots");
    QDir().mkpath(g_dir);

    ScriptedMessageBoxes messages;
    FrmMain window(&messages);
    window.fillLists();
    window.show();
    window.finishStartUp();
    if (argc > 2 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--laptop")) {
        QTimer::singleShot(200, [&] {
            laptop(window);
            app.exit(g_failures == 0 ? 0 : 1);
        });
        return app.exec();
    }
    QTimer::singleShot(200, [&] {
        tabs(window);
        recipePanel(window);
        wideLayout(window);
        menus(window);
        popups(window);
        startUpWindows(window);
        messageBoxes(window);
        statusBar(window);
        saveDialog(window);
        preview(window);
        app.exit(g_failures == 0 ? 0 : 1);
    });
    return app.exec();
}
