// Writes one PNG of the main window per tab into the directory given as the first argument.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include "window/app_style.h"
#include "window/frm_main.h"
#include "window/message_box.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kivo::window::setUpApplication(app);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kivo-shots");
    QDir().mkpath(dir);

    kivo::window::ScriptedMessageBoxes messages;
    kivo::window::FrmMain window(&messages);
    window.fillLists();
    window.show();
    window.finishStartUp();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    int failures = 0;
    QTimer::singleShot(200, [&] {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            const QString path = dir + QStringLiteral("/tab%1.png").arg(i + 1);
            if (!window.grab().save(path)) ++failures;
        }
        app.exit(failures == 0 ? 0 : 1);
    });
    return app.exec();
}
