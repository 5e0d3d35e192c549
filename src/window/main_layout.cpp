#include "window/main_layout.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include "window/focus_stand_in.h"
#include "window/pane_bar.h"
#include "window/pane_counts.h"
#include "window/pane_menu.h"
#include "window/spoken_names.h"
#include "window/tab_page.h"
#include "window/tab_tables.h"
#include "window/text_box.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

// The designed client area, in pixels (15 twips each): the window's default size, at which every
// control sits where the fixed layout had it.
constexpr QSize kClientSize{996, 570};
// The tab area keeps its designed width while the panes take what the window adds; a narrower
// window takes its width from the panes first (their bars ask for no more than they need), so
// that the lines of the tabs stay whole.
constexpr int kTabsWidth = 593;
constexpr int kRightMargin = 11;
constexpr int kBottomMargin = 8;
constexpr QSize kPaneButton{65, 25};
// How long the status bar tells the end of a run before it shows the counts again.
constexpr int kAnnouncementMs = 4000;
// A window manager's title bar and borders, before the window is shown and they are known.
constexpr QMargins kFrameEstimate{4, 30, 4, 4};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QSize size) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFixedSize(size);
    b->setAutoDefault(false);
    return b;
}

PlainTextBox* makePane(QWidget* parent, const char* name) {
    auto* pane = new PlainTextBox(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return pane;
}

// The tab control, asking for its designed width; in a narrower window it gives way and its pages
// scroll.
class TabArea final : public QTabWidget {
public:
    using QTabWidget::QTabWidget;
    QSize sizeHint() const override { return {kTabsWidth, QTabWidget::sizeHint().height()}; }
};

QFont boldFont(QFont font, qreal points) {
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

}  // namespace

MainLayout::MainLayout(QMainWindow* window, WindowState& state) : m_window(window), m_state(state) {
    buildClientArea();
    buildStatusBar();
    fileMenu = window->menuBar()->addMenu(QStringLiteral("ファイル(&T)"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    fileMenu->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    nameWindowControls(*this);
    resizeToDesignedSize();
}

void MainLayout::buildClientArea() {
    auto* client = new QWidget(m_window);
    m_window->setCentralWidget(client);

    upper = makePane(client, "Text1");
    lower = makePane(client, "Text2");
    // Created here, the move comes after the panes in the Tab order, before the other buttons.
    moveUp =
        makeButton(client, "Command42", kMoveUpCaption + QStringLiteral("(&U)"), {97, kPaneButton.height()});
    moveUp->setEnabled(false);
    copyUpper = makeButton(client, "Command27", QStringLiteral("コピー(&A)"), kPaneButton);
    resetUpper = makeButton(client, "Command1", QStringLiteral("リセット(&B)"), kPaneButton);
    copyLower = makeButton(client, "Command28", QStringLiteral("コピー(&C)"), kPaneButton);
    resetLower = makeButton(client, "Command2", QStringLiteral("リセット(&D)"), kPaneButton);
    // The pane buttons are the width of their captions at the window's font; a point smaller
    // keeps "リセット(&B)" inside its button.
    QFont paneButtonFont = m_window->font();
    paneButtonFont.setPointSizeF(8);
    for (QPushButton* b : {moveUp, copyUpper, resetUpper, copyLower, resetLower})
        b->setFont(paneButtonFont);
    widen = makeButton(client, "Command25", QStringLiteral(">>"), {41, kPaneButton.height()});
    widen->setFont(boldFont(m_window->font(), m_window->font().pointSizeF()));
    widen->setToolTip(kWidenTip);
    stop = makeButton(client, "Command6", QStringLiteral("中止(&Y)"), {89, kPaneButton.height()});
    execute = makeButton(client, "Command3", QStringLiteral("実行(&Z)"), {113, kPaneButton.height()});

    auto* arrow = new QLabel(QStringLiteral("↓↓↓"), client);
    arrow->setObjectName(QStringLiteral("Label3"));
    arrow->setFont(boldFont(m_window->font(), 14.25));
    arrow->setAlignment(Qt::AlignCenter);
    // 81 pixels wide where there is room; the bar under the pane narrows it to its words.
    arrow->setFixedHeight(kPaneButton.height());
    arrow->resize(81, kPaneButton.height());
    status = new QLabel(client);
    status->setObjectName(QStringLiteral("Label8"));
    status->setFont(boldFont(m_window->font(), 9));
    status->setMinimumWidth(QFontMetrics(status->font()).horizontalAdvance(kOpeningCaption));
    status->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    tabs = new TabArea(client);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    int tabNumber = 0;
    for (TabTable table :
         {set1Table(), set2Table(), loopTable(), set4Table(), set5Table(), set6Table(), set7Table()}) {
        pages.push_back(new TabPage(std::move(table), m_state));
        tabs->addTab(pages.back(), QStringLiteral("%1(&%1)").arg(++tabNumber));
    }

    m_upperBar = new PaneBar(client, {copyUpper, resetUpper}, arrow, {moveUp});
    m_lowerBar = new PaneBar(client, {copyLower, resetLower, widen});
    auto* runRow = new QHBoxLayout;
    runRow->setContentsMargins(8, 0, 0, 0);
    runRow->setSpacing(0);
    runRow->addWidget(status);
    // In the free stretch between the run's caption and Stop, so that both stay where they are.
    preview = new QCheckBox(QStringLiteral("プレビュー"), client);
    preview->setObjectName(QStringLiteral("CheckPreview"));
    runRow->addWidget(preview);
    runRow->addSpacing(6);
    runRow->addWidget(stop);
    runRow->addWidget(execute);

    m_grid = new QGridLayout(client);
    m_grid->setContentsMargins(0, 0, kRightMargin, kBottomMargin);
    m_grid->setSpacing(0);
    placePanes(1);
    m_grid->addWidget(m_lowerBar, 3, 0);
    m_grid->addWidget(tabs, 0, 1, 3, 1);
    m_grid->addLayout(runRow, 3, 1);
    m_grid->setColumnStretch(0, 1);
    m_grid->setRowStretch(0, 1);
    m_grid->setRowStretch(2, 1);
    buildWorkAreas(client);
}

void MainLayout::buildStatusBar() {
    QStatusBar* bar = m_window->statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* counts = new QLabel(bar);
    counts->setObjectName(QStringLiteral("StatusCounts"));
    bar->addWidget(counts, 1);
    new PaneCounts(upper, lower, counts);
    fileFormat = new QLabel(bar);
    fileFormat->setObjectName(QStringLiteral("StatusFileFormat"));
    bar->addPermanentWidget(fileFormat);
}

void MainLayout::buildWorkAreas(QWidget* client) {
    // Work areas some operations use; never shown.
    m_scratch = new PlainTextBox(client);
    m_scratch->setObjectName(QStringLiteral("TextCh"));
    m_scratch->hide();
    m_scratchGrid = new QTableWidget(client);
    m_scratchGrid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_scratchGrid->hide();
    textFocus = new QLineEdit(client);
    textFocus->setObjectName(QStringLiteral("TextFocus"));
    textFocus->setGeometry(-100, -100, 20, 20);
    // Reached only from an AllReset button, never as a stop of its own.
    textFocus->setFocusPolicy(Qt::ClickFocus);
    showFocusOf(textFocus, tabs->tabBar());
}

void MainLayout::resizeToDesignedSize() {
    // The menu bar and the status bar come on top of the designed client area.
    int height = kClientSize.height() + m_window->menuBar()->sizeHint().height();
    if (const auto* bar = m_window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
        height += bar->sizeHint().height();
    m_window->resize(kClientSize.width(), height);
}

void MainLayout::placeOnScreen() {
    resizeToDesignedSize();
    const QScreen* screen = m_window->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // The window manager's frame is known only once the window is shown: room for a title bar.
    const QRect inner = m_window->geometry();
    const QRect shown = m_window->frameGeometry();
    const QMargins frame = m_window->isVisible()
                               ? QMargins(inner.left() - shown.left(), inner.top() - shown.top(),
                                          shown.right() - inner.right(), shown.bottom() - inner.bottom())
                               : kFrameEstimate;
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = m_window->size();
    const bool fits = size == size.boundedTo(room);
    // Restored from maximised, the window stays inside the screen as well.
    m_window->resize(size.boundedTo(room));
    QRect outer = QRect(QPoint(), m_window->size()).marginsAdded(frame);
    outer.moveCenter(available.center());
    m_window->move(outer.topLeft());
    if (!fits) m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void MainLayout::setBusy(bool busy) {
    for (TabPage* page : pages)
        page->frame()->setEnabled(!busy);
    for (QWidget* w : std::initializer_list<QWidget*>{upper, resetUpper, resetLower, execute, tabs, widen,
                                                      copyUpper, copyLower})
        w->setEnabled(!busy);
    fileMenu->menuAction()->setEnabled(!busy);
    if (busy) {
        moveUp->setEnabled(false);
        // Only the two colours are the button's own: the rest follows the desktop's palette, and
        // the light yellow needs dark words whatever the palette's button text is.
        QPalette busyPalette;
        busyPalette.setColor(QPalette::Button, kBusyStopColour);
        busyPalette.setColor(QPalette::ButtonText, kBusyStopTextColour);
        stop->setPalette(busyPalette);
        status->setText(kBusyCaption);
    } else {
        updateMoveUp();
        // Back to the desktop's palette, also when it changed during the run.
        stop->setPalette(QPalette());
        status->clear();
    }
}

void MainLayout::announceRunEnd(bool stopped) {
    QStatusBar* bar = m_window->statusBar();
    bar->showMessage(stopped ? kRunStoppedCaption : kRunDoneCaption, kAnnouncementMs);
    QAccessibleEvent announced(bar, QAccessible::Alert);
    QAccessible::updateAccessibility(&announced);
}

void MainLayout::updateMoveUp() {
    // The upper pane is disabled while a run or a file command is busy.
    moveUp->setEnabled(upper->isEnabled() && !lower->isEmpty());
}

void MainLayout::clearScratch() {
    m_scratch->assign(Text());
    m_scratchGrid->clear();
    m_scratchGrid->setRowCount(0);
    m_scratchGrid->setColumnCount(0);
}

void MainLayout::placePanes(int columns) {
    const std::pair<QWidget*, int> rows[] = {{upper, 0}, {m_upperBar, 1}, {lower, 2}};
    for (const auto& [widget, row] : rows) {
        m_grid->removeWidget(widget);
        m_grid->addWidget(widget, row, 0, 1, columns);
    }
}

void MainLayout::toggleWideArea() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    const bool wide = widen->text() == QStringLiteral(">>");
    stop->setVisible(!wide);
    execute->setVisible(!wide);
    tabs->setVisible(!wide);
    // The panes take the tab area's columns; their buttons go to the panes' left edge.
    placePanes(wide ? 2 : 1);
    m_upperBar->packLeft(wide);
    m_lowerBar->packLeft(wide);
    widen->setText(wide ? QStringLiteral("<<") : QStringLiteral(">>"));
    widen->setToolTip(wide ? kNarrowTip : kWidenTip);
    m_grid->activate();
}

}  // namespace kivo::window
