#include "shell/watchlist_form.h"

#include "portal/profile.h"
#include "shell/controls.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/program_state.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>

namespace fundlens {

namespace {

using K = ControlKind;

constexpr int RowHeight = 26;
constexpr int MillisecondsPerSecond = 1000;

const std::vector<GridColumn>& WatchlistColumns() {
    static const std::vector<GridColumn> columns = [] {
        static constexpr std::array<int, WatchlistColumnCount> widths{160, 64, 84, 70, 64, 70, 170,
                                                                      60,  90, 90, 90, 80, 80, 70};
        std::vector<GridColumn> made;
        for (std::size_t column = 0; column < widths.size(); ++column)
            made.push_back({WatchlistCaptions[column], widths[column]});
        return made;
    }();
    return columns;
}

template <class W>
W* Child(QWidget* window, const char* name) {
    return window->findChild<W*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

Text CodeAtRow(int row) {
    const WatchlistRow* fund = State().Views.watchlist.FundAt(row);
    return fund ? fund->code : Text();
}

} // namespace

const WindowDesign& WatchlistWindowDesign() {
    static const WindowDesign design{
        WatchlistTitle,
        90,
        110,
        1280,
        640,
        {
            {WatchlistRefreshName, K::Button, "刷新", 8, 8, 96, 32},
            {WatchlistStatusName, K::Label, "", 112, 8, 1160, 32},
            {WatchlistGridName, K::Grid, "", 8, 48, 1264, 584},
        },
    };
    return design;
}

const GridDesign& WatchlistGridDesign() {
    static const GridDesign design{2, RowHeight, WatchlistColumns()};
    return design;
}

WatchlistForm::WatchlistForm() : QWidget(nullptr) {
    setObjectName(QStringLiteral("watchlist"));
    BuildWindow(this, WatchlistWindowDesign());
    m_grid = Child<GridWidget>(this, WatchlistGridName);
    m_menu = new QMenu(this);
    m_menu->setObjectName(QString::fromUtf8(WatchlistMenuName));
    for (const char* item : WatchlistMenuItems)
        m_menu->addAction(QString::fromUtf8(item));
    m_timer.setInterval(CurrentPortalProfile().watchlistRefreshSeconds * MillisecondsPerSecond);
    WireEvents();
}

void WatchlistForm::WireEvents() {
    connect(Child<QPushButton>(this, WatchlistRefreshName), &QPushButton::clicked, this,
            [] { Fire(Routines().watchlist.refreshClicked); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [](int row, int) {
        if (const Text code = CodeAtRow(row + 1); !code.empty())
            Fire(Routines().watchlist.rowDoubleClicked, code);
    });
    connect(m_grid, &GridWidget::rightButtonPressed, this, &WatchlistForm::RightPressed);
    connect(m_menu, &QMenu::triggered, this, [this](QAction* action) {
        MenuChosen(static_cast<int>(m_menu->actions().indexOf(action)));
    });
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (isVisible() && !isMinimized())
            Fire(Routines().watchlist.timerTicked);
    });
}

// The menu acts on the fund under the mouse, which becomes the cursor row.
void WatchlistForm::RightPressed(int x, int y) {
    const QPoint inView = m_grid->viewport()->mapFrom(m_grid, QPoint(x, y));
    if (inView.y() < 0)
        return; // the header
    const int row = m_grid->rowAt(inView.y()) + 1;
    m_menuCode = CodeAtRow(row);
    if (m_menuCode.empty())
        return;
    Grid(m_grid).SetCursor(row, std::max(m_grid->columnAt(inView.x()), 0));
    m_menu->popup(m_grid->mapToGlobal(QPoint(x, y)));
}

void WatchlistForm::MenuChosen(int item) {
    const Text code = m_menuCode;
    const WatchlistRoutines& routines = Routines().watchlist;
    switch (static_cast<WatchlistMenuItem>(item)) {
    case WatchlistMenuItem::Buy:
        return Fire(routines.buyChosen, code);
    case WatchlistMenuItem::Sell:
        return Fire(routines.sellChosen, code);
    case WatchlistMenuItem::Edit:
        return Fire(routines.editChosen, code);
    case WatchlistMenuItem::Remove:
        return Fire(routines.removeChosen, code);
    case WatchlistMenuItem::AddToBasket:
        return Fire(routines.addToBasketChosen, code);
    }
}

void WatchlistForm::Pause() {
    m_timer.stop();
    m_paused = true;
}

void WatchlistForm::Resume() {
    if (!m_timer.isActive())
        m_timer.start();
    if (std::exchange(m_paused, false))
        Fire(Routines().watchlist.windowResumed);
}

void WatchlistForm::closeEvent(QCloseEvent* event) {
    m_timer.stop();
    event->accept();
    Fire(Routines().watchlist.windowClosed);
}

void WatchlistForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!isMinimized())
        Resume();
}

void WatchlistForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Pause();
}

void WatchlistForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized())
        Pause();
    else if (isVisible())
        Resume();
}

} // namespace fundlens
