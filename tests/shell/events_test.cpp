// Every event of the event table reaches its slot when the real input happens, and a slot
// nobody filled does nothing.
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace fundlens::test {
namespace {

class EventsTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
    }
    GridWidget* Grid(const char* name) { return FindControl<GridWidget>(MainWindow(), name); }
    std::vector<std::string> log;
};

TEST_F(EventsTest, MainWindowButtonsReachTheirSlots) {
    Routines().fiveStarClicked = [&] { log.push_back("five-star"); };
    Routines().sectorChooserClicked = [&] { log.push_back("sectors"); };
    Routines().chartButtonClicked = [&] { log.push_back("chart"); };
    Click(FindControl(MainWindow(), "五星基金钮"));
    Click(FindControl(MainWindow(), "选择板块钮"));
    Click(FindControl(MainWindow(), "净值走势钮"));
    EXPECT_EQ(log, (std::vector<std::string>{"five-star", "sectors", "chart"}));
}

TEST_F(EventsTest, FundListHeaderClickAndCursorMoves) {
    std::vector<std::pair<int, int>> headers, moves;
    Routines().headerClicked = [&](int row, int column) { headers.emplace_back(row, column); };
    Routines().cursorMoved = [&](int row, int column) { moves.emplace_back(row, column); };
    GridWidget* list = Grid("高级表格1");
    ClickHeader(list, 4);
    ClickHeader(list, 12);
    EXPECT_EQ(headers, (std::vector<std::pair<int, int>>{{0, 4}, {0, 12}}));
    ASSERT_TRUE(moves.empty());

    ClickCell(list, 3, 1);
    ClickCell(list, 3, 1); // the same cell again: no move
    ClickCell(list, 1, 0);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{3, 1}, {1, 0}}));
    // The keyboard moves the cursor too.
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves.back(), std::make_pair(2, 0));
}

TEST_F(EventsTest, RightButtonPopsUpTheMenuWhoseItemRunsItsRoutine) {
    struct Case {
        const char* grid;
        const char* menu;
        std::function<void(int, int)> EventRoutines::*press;
        std::function<void()> EventRoutines::*item;
    };
    const Case cases[] = {
        {"高级表格1", "菜单", &EventRoutines::fundListRightPressed,
         &EventRoutines::addToCompareChosen},
        {"高级表格2", "菜单1", &EventRoutines::compareGridRightPressed,
         &EventRoutines::removeFromCompareChosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid);
        int presses = 0, chosen = 0;
        Routines().*c.press = [&](int, int) { ++presses; };
        Routines().*c.item = [&] { ++chosen; };
        GridWidget* grid = Grid(c.grid);
        grid->setCurrentCell(0, 0);
        RightClickCell(grid, 2, 3);
        EXPECT_EQ(presses, 1);
        EXPECT_EQ(grid->currentRow(), 0); // the right button leaves the cursor alone
        auto* menu = MainWindow().widget()->findChild<QMenu*>(QString::fromUtf8(c.menu));
        ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
        // The menu opens at the mouse.
        const QPoint mouse = grid->mapToGlobal(CellCenter(grid, 2, 3));
        EXPECT_LE((menu->pos() - mouse).manhattanLength(), 2);
        EXPECT_EQ(chosen, 0);
        ClickMenuItem(menu, 0);
        EXPECT_EQ(chosen, 1);
        EXPECT_TRUE(WaitUntil([menu] { return !menu->isVisible(); }));
    }
}

TEST_F(EventsTest, RiskGridsReportMouseMovesWithTheirNumber) {
    std::vector<int> grids;
    Routines().riskGridMouseMoved = [&](int grid, int, int) { grids.push_back(grid); };
    MoveMouse(Grid("高级表格3"), QPoint(40, 50));
    MoveMouse(Grid("高级表格4"), QPoint(100, 60));
    MoveMouse(Grid("高级表格5"), QPoint(100, 60)); // not a risk grid
    EXPECT_EQ(grids, (std::vector<int>{3, 4}));
}

TEST_F(EventsTest, SearchBoxFocusAndTyping) {
    int focused = 0, changed = 0;
    Routines().searchFocused = [&] { ++focused; };
    Text content;
    Routines().searchChanged = [&](const Text& text) {
        ++changed;
        content = text;
    };
    auto* search = FindControl<QLineEdit>(MainWindow(), "搜索框");
    Focus(search);
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(changed, 0);
    search->selectAll();
    TypeText(search, QStringLiteral("110"));
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(search->text(), QStringLiteral("110"));
    EXPECT_EQ(content, "110"); // the event carries the box's content
    // A change written by the program is a content change as well.
    MainWindow().EditNamed("搜索框").SetContent("");
    EXPECT_EQ(changed, 4);

    // Every visit counts, also the focus coming back with the window (after another window or
    // a message box) or from a popup that is not the box's own menu.
    const struct {
        Qt::FocusReason reason;
        int focusedAfter;
    } reasons[] = {{Qt::ActiveWindowFocusReason, 2},
                   {Qt::PopupFocusReason, 3},
                   {Qt::TabFocusReason, 4},
                   {Qt::MouseFocusReason, 5}};
    for (const auto& r : reasons) {
        QFocusEvent in(QEvent::FocusIn, r.reason);
        QApplication::sendEvent(search, &in);
        EXPECT_EQ(focused, r.focusedAfter) << "reason " << r.reason;
    }
}

TEST_F(EventsTest, TheSearchBoxOwnMenuKeepsWhatWasTyped) {
    int focused = 0;
    Routines().searchFocused = [&] { ++focused; };
    auto* search = FindControl<QLineEdit>(MainWindow(), "搜索框");
    Focus(search);
    TypeText(search, QStringLiteral("白酒"));
    const QString typed = search->text();
    focused = 0;
    // Copy and paste through the box's own menu: the focus it takes and gives back is no visit.
    bool menuShown = false;
    QTimer::singleShot(100, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        menuShown = popup != nullptr;
        QFocusEvent back(QEvent::FocusIn, Qt::PopupFocusReason); // as the menu gives it back
        QApplication::sendEvent(search, &back);
        if (popup)
            popup->close();
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           search->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(search, &menu);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(focused, 0);
    EXPECT_EQ(search->text(), typed);
    // Another popup's focus coming back is a visit.
    QFocusEvent back(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(search, &back);
    EXPECT_EQ(focused, 1);
}

TEST_F(EventsTest, SuggestionDoubleClickPicksTheClickedLine) {
    int picked = -2;
    ListView list = MainWindow().ListNamed("超级列表框1");
    Routines().suggestionDoubleClicked = [&](int line) { picked = line; };
    list.AddItem({"华夏成长"_gbk, "000001"});
    list.AddItem({"嘉实增长"_gbk, "070002"});
    list.SetHeight(96);
    list.SetVisible(true);
    DoubleClickItem(FindControl<QTreeWidget>(MainWindow(), "超级列表框1"), 1);
    EXPECT_EQ(picked, 1);
}

TEST_F(EventsTest, SectorButtonsAndTheSectorWindowsDestruction) {
    std::vector<int> buttons;
    int destroyed = 0;
    Routines().sectorButtonClicked = [&](int n) { buttons.push_back(n); };
    Routines().sectorWindowDestroyed = [&] { ++destroyed; };
    Window sector = OpenSectorWindow();
    for (int n : {1, 9, 10, 53, 108}) {
        Click(FindControl(sector, "按钮" + std::to_string(n)));
    }
    EXPECT_EQ(buttons, (std::vector<int>{1, 9, 10, 53, 108}));
    EXPECT_EQ(destroyed, 0);
    sector.Close();
    ASSERT_TRUE(WaitUntil([&] { return destroyed == 1; }));
    EXPECT_FALSE(SectorWindow().Exists());
    // Each opening creates the window anew.
    Window again = OpenSectorWindow();
    EXPECT_TRUE(again.Exists());
    again.PostClose();
    ASSERT_TRUE(WaitUntil([&] { return destroyed == 2; }));
}

TEST_F(EventsTest, ChartWindowCreatedPeriodButtonsAndPanelMoves) {
    int created = 0;
    std::vector<int> periods;
    std::vector<std::pair<int, int>> moves;
    Routines().periodButtonClicked = [&](int n) { periods.push_back(n); };
    Routines().panelMouseMoved = [&](int x, int y) { moves.emplace_back(x, y); };
    Routines().chartWindowCreated = [&] {
        ++created;
        Window chart = ChartWindow();
        EXPECT_TRUE(chart.Visible());
        // Input goes to the dialog once its event loop runs.
        QTimer::singleShot(0, chart.widget(), [&, chart] {
            for (int n = 1; n <= 7; ++n) {
                Click(FindControl(chart, "按钮" + std::to_string(n)));
            }
            MoveMouse(FindControl(chart, "画板1"), QPoint(100, 200));
            MoveMouse(FindControl(chart, "画板1"), QPoint(101, 201));
            Window(chart).Close();
        });
    };
    OpenChartWindowModal();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(periods, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{100, 200}, {101, 201}}));
    EXPECT_FALSE(ChartWindow().Exists());
}

TEST_F(EventsTest, UnfilledSlotsDoNothing) {
    Routines() = EventRoutines{};
    GridWidget* list = Grid("高级表格1");
    Click(FindControl(MainWindow(), "五星基金钮"));
    ClickHeader(list, 3);
    ClickCell(list, 2, 2);
    MoveMouse(Grid("高级表格3"), QPoint(10, 10));
    Window sector = OpenSectorWindow();
    Click(FindControl(sector, "按钮5"));
    sector.Close();
    ProcessEvents();
    EXPECT_TRUE(MainWindow().Exists());
}

TEST_F(EventsTest, ARoutineMayReplaceItsOwnSlotWhileItRuns) {
    int first = 0, second = 0;
    Routines().fiveStarClicked = [&] {
        ++first;
        Routines().fiveStarClicked = [&] { ++second; };
    };
    Click(FindControl(MainWindow(), "五星基金钮"));
    Click(FindControl(MainWindow(), "五星基金钮"));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

} // namespace
} // namespace fundlens::test
