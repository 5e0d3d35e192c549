#include <QApplication>
#include <QStandardPaths>

#include "app/program_folder.h"
#include "app/start_up.h"
#include "text/standard_descriptors.h"
#include "window/app_style.h"
#include "window/frm_main.h"
#include "window/qtext.h"

int main(int argc, char** argv) {
    kivo::openClosedStandardDescriptors();
    QApplication app(argc, argv);
    kivo::window::setUpApplication(app);

    kivo::window::FrmMain window;
    kivo::app::StartUpSettings settings;
    // Fixed when the program is built; an empty host means no notices server.
    settings.noticesServer = kivo::app::noticesAddress(QStringLiteral(KIVO_NOTICES_HOST));
    settings.programFolder = kivo::window::toQString(
        kivo::app::programFolder(kivo::window::toText(QCoreApplication::applicationDirPath())));
    settings.dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
    settings.lockPaths = kivo::app::defaultLockPaths();

    kivo::app::StartUp startUp(window, settings);
    if (!startUp.run()) return 0;
    return app.exec();
}
