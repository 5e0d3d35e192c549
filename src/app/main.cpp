#include <QApplication>
#include <QScreen>

#include "window/app_style.h"
#include "window/frm_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kivo::window::setUpApplication(app);

    kivo::window::FrmMain window;
    window.fillLists();
    if (window.state().closing) return 0;
    window.adjustSize();
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    window.finishStartUp();
    return app.exec();
}
