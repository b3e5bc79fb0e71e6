// The keyboard, as the window system delivers its keys to the focused control: Enter and the
// menu keys in the grids, the search box and its suggestion list, Ctrl+F and Ctrl+L, and Tab
// through the windows in reading order.
#include "demo-portal/demo_portal.h"
#include "demo-portal/universe.h"
#include "runs/runs.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

namespace fundlens::test {
namespace {

// A key pressed and released in the active window: it reaches the focused control (or the open
// popup menu), shortcuts first, as a key of the keyboard does.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* window = QApplication::activePopupWidget();
    if (window == nullptr)
        window = QApplication::activeWindow();
    ASSERT_NE(window, nullptr) << "no active window to type into";
    QTest::keyClick(window->windowHandle(), key, modifiers);
    ProcessEvents();
}

class KeyboardTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
    }
    GridWidget* GridNamed(const char* name) { return FindControl<GridWidget>(MainWindow(), name); }
    QLineEdit* Box() { return FindControl<QLineEdit>(MainWindow(), "搜索框"); }
    QTreeWidget* Suggestions() { return FindControl<QTreeWidget>(MainWindow(), "超级列表框1"); }
    QMenu* Menu(const char* name) {
        return MainWindow().widget()->findChild<QMenu*>(QString::fromUtf8(name));
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }

    // The box holding `typed` and the suggestion list showing three lines, the focus in the box.
    void ShowSuggestions(const QString& typed) {
        Focus(Box());
        Box()->setText(typed);
        ListView list = MainWindow().ListNamed("超级列表框1");
        list.Clear();
        list.AddItem({"华夏成长"_gbk, "000001"});
        list.AddItem({"嘉实增长"_gbk, "070002"});
        list.AddItem({"华安创新"_gbk, "040001"});
        list.SetHeight(128);
        list.SetVisible(true);
        ProcessEvents();
    }
    int CurrentLine() {
        QTreeWidgetItem* item = Suggestions()->currentItem();
        return item ? Suggestions()->indexOfTopLevelItem(item) : -1;
    }
};

// ---- the grids

TEST_F(KeyboardTest, EnterOnAFundListRowShowsItAgainAsTheCursorMovingOntoItDoes) {
    std::vector<std::pair<int, int>> moves;
    Routines().cursorMoved = [&](int row, int column) { moves.emplace_back(row, column); };
    GridWidget* list = GridNamed("高级表格1");
    Focus(list);
    PressKey(Qt::Key_Return); // no cursor yet: nothing to show
    EXPECT_TRUE(moves.empty());

    ClickCell(list, 3, 1);
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{3, 1}, {3, 1}, {3, 1}, {4, 1}, {4, 1}}));

    // Enter on the comparison grid shows nothing.
    moves.clear();
    GridWidget* compare = GridNamed("高级表格2");
    compare->setCurrentCell(0, 0);
    Focus(compare);
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(moves.empty());
}

TEST_F(KeyboardTest, TheFocusAloneNeverMovesTheCursor) {
    int moves = 0;
    Routines().cursorMoved = [&](int, int) { ++moves; };
    GridWidget* list = GridNamed("高级表格1");
    Focus(FindControl(MainWindow(), "五星基金钮"));
    list->setFocus(Qt::TabFocusReason);
    ProcessEvents();
    ASSERT_TRUE(list->hasFocus());
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CursorRow(), -1);
    PressKey(Qt::Key_Down); // the first move goes to the first row
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CursorRow(), 1);
}

TEST_F(KeyboardTest, MenuKeysPopUpTheGridsMenuAtTheCursorCellAfterTheRightPressSlot) {
    struct Case {
        const char* grid;
        const char* menu;
        std::function<void(int, int)> EventRoutines::*press;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"高级表格1", "菜单", &EventRoutines::fundListRightPressed, Qt::Key_Menu, Qt::NoModifier},
        {"高级表格1", "菜单", &EventRoutines::fundListRightPressed, Qt::Key_F10, Qt::ShiftModifier},
        {"高级表格2", "菜单1", &EventRoutines::compareGridRightPressed, Qt::Key_Menu,
         Qt::NoModifier},
        {"高级表格2", "菜单1", &EventRoutines::compareGridRightPressed, Qt::Key_F10,
         Qt::ShiftModifier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.grid) + (c.key == Qt::Key_Menu ? " Menu" : " Shift+F10"));
        GridWidget* grid = GridNamed(c.grid);
        QMenu* menu = Menu(c.menu);
        std::vector<QPoint> presses;
        bool menuOpenAtPress = true;
        Routines().*c.press = [&](int x, int y) {
            presses.emplace_back(x, y);
            menuOpenAtPress = menu->isVisible();
        };
        grid->setCurrentCell(1, 2);
        Focus(grid);
        PressKey(c.key, c.modifiers);
        const QPoint cell = CellCenter(grid, 2, 2);
        EXPECT_EQ(presses, std::vector<QPoint>{cell});
        EXPECT_FALSE(menuOpenAtPress) << "the slot runs before the menu opens";
        ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
        EXPECT_LE((menu->pos() - grid->mapToGlobal(cell)).manhattanLength(), 2);
        EXPECT_EQ(grid->currentRow(), 1) << "the cursor stays";
        PressKey(Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([menu] { return !menu->isVisible(); }));
    }
}

TEST_F(KeyboardTest, TheWindowSystemsOwnMenuRequestOpensTheMenuOnceAtTheCursorCell) {
    int presses = 0;
    Routines().fundListRightPressed = [&](int, int) { ++presses; };
    GridWidget* list = GridNamed("高级表格1");
    list->setCurrentCell(4, 0);
    Focus(list);
    // Where the Menu key comes as a menu request (X11), at the mouse wherever it is.
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(900, 500),
                              list->mapToGlobal(QPoint(900, 500)));
    QApplication::sendEvent(list, &request);
    QMenu* menu = Menu("菜单");
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    EXPECT_EQ(presses, 1);
    EXPECT_LE((menu->pos() - list->mapToGlobal(CellCenter(list, 5, 0))).manhattanLength(), 2);
    PressKey(Qt::Key_Escape);
}

TEST_F(KeyboardTest, WithoutACursorTheMenuOpensAtTheGridsFirstCell) {
    std::vector<QPoint> presses;
    Routines().fundListRightPressed = [&](int x, int y) { presses.emplace_back(x, y); };
    GridWidget* list = GridNamed("高级表格1");
    Focus(list);
    PressKey(Qt::Key_Menu);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], list->viewport()->mapTo(list, QPoint(0, 0)));
    QMenu* menu = Menu("菜单");
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    PressKey(Qt::Key_Escape);
}

TEST_F(KeyboardTest, TabLeavesAGridInsteadOfWalkingItsCells) {
    GridWidget* list = GridNamed("高级表格1");
    list->setCurrentCell(0, 0);
    Focus(list);
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), GridNamed("高级表格2"));
    EXPECT_EQ(list->currentColumn(), 0);
}

// ---- the search box and its suggestions

TEST_F(KeyboardTest, DownEntersTheSuggestionsAndEnterPicksTheLineAsADoubleClick) {
    std::vector<int> picked;
    int visits = 0;
    Routines().suggestionDoubleClicked = [&](int line) { picked.push_back(line); };
    Routines().searchFocused = [&] { ++visits; };
    ShowSuggestions(QStringLiteral("hua"));
    visits = 0;

    PressKey(Qt::Key_Down);
    EXPECT_EQ(Focused(), Suggestions());
    EXPECT_EQ(CurrentLine(), 0);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(CurrentLine(), 1);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(picked, std::vector<int>{1});
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(picked, (std::vector<int>{1, 1}));

    // Up from the first line goes back to the box, which keeps what was typed.
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(Box()->text(), QStringLiteral("hua"));
    EXPECT_EQ(visits, 0) << "coming back from the list is no visit";
    EXPECT_TRUE(Suggestions()->isVisible());
}

TEST_F(KeyboardTest, EscapeHidesTheSuggestionsAndGoesBackToTheBox) {
    int visits = 0;
    Routines().searchFocused = [&] { ++visits; };
    ShowSuggestions(QStringLiteral("hua"));
    visits = 0;
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(Suggestions()->isHidden());
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(Box()->text(), QStringLiteral("hua"));
    EXPECT_EQ(Suggestions()->topLevelItemCount(), 3) << "hidden only";
    EXPECT_EQ(visits, 0);

    // Down shows the hidden lines again, from the first.
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(Suggestions()->isVisible());
    EXPECT_EQ(Focused(), Suggestions());
    EXPECT_EQ(CurrentLine(), 0);
    // Escape in the box hides the list too; the box keeps the focus and its text.
    PressKey(Qt::Key_Up);
    ASSERT_EQ(Focused(), Box());
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(Suggestions()->isHidden());
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(Box()->text(), QStringLiteral("hua"));
    EXPECT_EQ(visits, 0);
}

TEST_F(KeyboardTest, TypingInTheSuggestionsTypesIntoTheBox) {
    std::vector<Text> contents;
    Routines().searchChanged = [&](const Text& content) { contents.push_back(content); };
    ShowSuggestions(QStringLiteral("hua"));
    contents.clear();
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_X);
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(Box()->text(), QStringLiteral("huax"));
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(Box()->text(), QStringLiteral("hua"));
    // Chinese from an input method as well.
    PressKey(Qt::Key_Down);
    TypeText(Suggestions(), QString::fromUtf8("夏"));
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(Box()->text(), QString::fromUtf8("hua夏"));
    EXPECT_EQ(contents, (std::vector<Text>{"huax", "hua", "hua夏"_gbk}));
}

TEST_F(KeyboardTest, DownStaysInTheBoxWhenThereIsNoSuggestion) {
    Focus(Box());
    PressKey(Qt::Key_Down); // the list never shown
    EXPECT_EQ(Focused(), Box());
    ShowSuggestions(QStringLiteral("zzz"));
    MainWindow().ListNamed("超级列表框1").Clear(); // shown empty, as an answer without matches
    PressKey(Qt::Key_Down);
    EXPECT_EQ(Focused(), Box());
}

TEST_F(KeyboardTest, SuggestionsHiddenUnderTheFocusGiveItBackToTheBox) {
    int visits = 0;
    Routines().searchFocused = [&] { ++visits; };
    ShowSuggestions(QStringLiteral("hua"));
    visits = 0;
    PressKey(Qt::Key_Down);
    MainWindow().ListNamed("超级列表框1").SetVisible(false); // as a pick or an emptied box hides it
    EXPECT_EQ(Focused(), Box());
    EXPECT_EQ(visits, 0);
}

TEST_F(KeyboardTest, CtrlFAndCtrlLFocusTheSearchBoxAsAVisit) {
    std::vector<Qt::FocusReason> visits;
    Routines().searchFocused = [&] { visits.push_back(Qt::ShortcutFocusReason); };
    for (Qt::Key key : {Qt::Key_F, Qt::Key_L}) {
        SCOPED_TRACE(key == Qt::Key_F ? "Ctrl+F" : "Ctrl+L");
        visits.clear();
        Focus(GridNamed("高级表格1"));
        PressKey(key, Qt::ControlModifier);
        EXPECT_EQ(Focused(), Box());
        EXPECT_EQ(visits.size(), 1u);
        // Pressed again in the box: the box keeps the focus and nothing is cleared, as a click
        // into it does.
        PressKey(key, Qt::ControlModifier);
        EXPECT_EQ(visits.size(), 1u);
        // From the suggestion list too.
        ShowSuggestions(QStringLiteral("hua"));
        visits.clear();
        PressKey(Qt::Key_Down);
        PressKey(key, Qt::ControlModifier);
        EXPECT_EQ(Focused(), Box());
        EXPECT_EQ(visits.size(), 1u);
    }
}

// The real routines: the shortcut clears the box as a click does; Enter on a suggestion picks
// the fund as a double click does.
class KeyboardPickTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        demo::PortalOptions options;
        options.date = "2026-12-08";
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow();
    }
};

TEST_F(KeyboardPickTest, CtrlFClearsTheHintAndEnterPicksTheSuggestion) {
    const demo::Fund& fund = portal()->universe().Funds().at(7);
    Focus(FindControl(MainWindow(), "高级表格1"));
    PressKey(Qt::Key_F, Qt::ControlModifier);
    EditBox box = MainWindow().EditNamed("搜索框");
    EXPECT_EQ(box.Content(), "");
    EXPECT_EQ(box.TextColor(), RgbBlack);

    TypeText(FindControl(MainWindow(), "搜索框"), QString::fromStdString(fund.code));
    const ListView list = MainWindow().ListNamed("超级列表框1");
    ASSERT_TRUE(WaitUntil([&] {
        return list.Visible() && list.ItemCount() > 0 && list.ItemText(0, 1) == fund.code;
    }));
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([] { return !IsRunning(RunName::Pick); }));
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(1, 1), fund.code);
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(1, 0), Utf8ToText(fund.name));
    EXPECT_FALSE(list.Visible());
    EXPECT_EQ(box.Content(), "");
    EXPECT_EQ(QApplication::focusWidget(), FindControl(MainWindow(), "搜索框"))
        << "the hidden list gives the focus back to the box";
}

// ---- Tab

std::vector<std::string> TabStops(QWidget* from, int count) {
    Focus(from);
    std::vector<std::string> stops;
    for (int i = 0; i < count; ++i) {
        PressKey(Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        stops.push_back(focused ? focused->objectName().toStdString() : "");
    }
    return stops;
}

TEST_F(KeyboardTest, TabFollowsTheMainWindowsReadingOrder) {
    Routines().searchFocused = [] {};
    EXPECT_EQ(
        TabStops(GridNamed("高级表格1"), 13),
        (std::vector<std::string>{"高级表格2", "五星基金钮", "自选基金钮", "多基金对比钮",
                                  "选择板块钮", "净值走势钮", "搜索框", "高级表格3", "高级表格5",
                                  "高级表格4", "高级表格6", "高级表格1", "高级表格2"}))
        << "the hidden suggestion list is no stop";
    // With the suggestions shown, the list follows the box.
    ShowSuggestions(QStringLiteral("hua"));
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), Suggestions());
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), GridNamed("高级表格3"));
}

TEST_F(KeyboardTest, TabRunsAlongTheSectorButtonsRowByRowFromTheLeft) {
    Window sector = OpenSectorWindow();
    ASSERT_TRUE(WaitUntil([&] { return sector.widget()->isActiveWindow(); }));
    QWidget* first = FindControl(sector, "按钮1");
    // Row 1 holds 按钮1..按钮9 from the left; row 2 holds 按钮10..按钮18 from the right.
    const std::vector<std::string> stops = TabStops(first, 10);
    EXPECT_EQ(stops, (std::vector<std::string>{"按钮2", "按钮3", "按钮4", "按钮5", "按钮6", "按钮7",
                                               "按钮8", "按钮9", "按钮18", "按钮17"}));
    sector.Close();
}

TEST_F(KeyboardTest, TabRunsAlongTheChartWindowsPeriodButtons) {
    std::vector<std::string> stops;
    Routines().chartWindowCreated = [&] {
        QTimer::singleShot(0, ChartWindow().widget(), [&] {
            stops = TabStops(FindControl(ChartWindow(), "按钮1"), 7);
            ChartWindow().Close();
        });
    };
    OpenChartWindowModal();
    EXPECT_EQ(stops, (std::vector<std::string>{"按钮2", "按钮3", "按钮4", "按钮5", "按钮6", "按钮7",
                                               "按钮1"}));
}

} // namespace
} // namespace fundlens::test
