#include "window/app_style.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>

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
    QApplication::setApplicationName(QStringLiteral("kivoautofill"));
    QApplication::setStyle(new CompactStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(9);
    app.setFont(font);
}

}  // namespace kivo::window
