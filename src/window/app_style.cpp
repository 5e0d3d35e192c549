#include "window/app_style.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <QTranslator>

#include <csignal>

#include "window/spoken_names.h"

namespace kivo::window {
namespace {

// The condition tabs are dense: combos sit in the blanks of one-line captions. A narrower combo
// arrow and slimmer button margins let every line fit its frame at a legible font size.
class CompactStyle final : public QProxyStyle {
public:
    explicit CompactStyle(QStyle* base) : QProxyStyle(base) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_ButtonMargin) return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
            const QRect r = option->rect;
            constexpr int kArrow = 14;
            constexpr int kFrame = 2;
            if (sub == SC_ComboBoxArrow) return QRect(r.right() - kArrow + 1, r.top(), kArrow, r.height());
            return QRect(r.left() + kFrame, r.top() + kFrame, r.width() - kArrow - 2 * kFrame,
                         r.height() - 2 * kFrame);
        }
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
};

}  // namespace

void setUpApplication(QApplication& app) {
#ifdef SIGXFSZ
    // A file grown past the file-size limit would end the program, and the user's text with it;
    // ignored, the write fails and the save says so.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication::setApplicationName(QStringLiteral("kivoautofill"));
    // Matches the installed kivoautofill.desktop, so that docks and task bars show its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kivoautofill"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kivoautofill-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // Every caption and message of the program is Japanese; Qt's own texts (the buttons of the
    // message boxes, the edit menus of the parameter boxes, the calendar of the date pickers)
    // follow, whatever the locale of the session.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);

    letCombosSayTheirNames();

    QApplication::setStyle(new CompactStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(9);
    app.setFont(font);
}

}  // namespace kivo::window
