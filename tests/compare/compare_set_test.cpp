// The compare set: adding moves the current column into the compare column and pins the
// selected list row's fund; removing empties the compare column; every transition of the codes.
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QSignalBlocker>

namespace fundlens::test {
namespace {

Grid G(const char* name) {
    return MainWindow().GridNamed(name);
}
Label L(const char* name) {
    return MainWindow().LabelNamed(name);
}

class CompareSetTest : public ProgramFixture {
protected:
    // Four funds, 000001 to 000004, their names blue, their figures red or green.
    void SetUp() override {
        ProgramFixture::SetUp();
        Grid list = G("高级表格1");
        for (int row = 1; row <= 4; ++row) {
            list.SetCellText(row, 0, "基金"_gbk + NumberToText(row));
            list.SetCellText(row, 1, "00000" + NumberToText(row));
            list.SetCellColor(row, 0, RgbBlue);
            for (int column = 3; column < 13; ++column) {
                list.SetCellText(row, column, NumberToText(column));
                list.SetCellColor(row, column, column % 2 ? RgbRed : RgbGreen);
            }
        }
    }

    static void Select(int row) { G("高级表格1").SetCursor(row, 0); }

    // What the detail loaders show for the fund of list row `row`, tagged with the row.
    static void OpenFund(int row) {
        Select(row);
        const Text tag = NumberToText(row);
        State().CurrentFundCode = G("高级表格1").CellText(row, 1);
        L("标签19").SetCaption("基金"_gbk + tag);
        L("标签11").SetCaption("size" + tag);
        L("标签12").SetCaption("manager" + tag);
        L("标签13").SetCaption("rating" + tag);
        L("标签14").SetCaption(tag + "2.3%");
        L("标签14").SetTextColor(RgbRed);
        const Text risk[2][3] = {{tag + "2.5%", "3.5", "--"}, {"0.85", "0", "5%"}};
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 3; ++c)
                G("高级表格3").SetCellText(r, c, risk[r - 1][c - 1]);
        for (int r = 1; r <= 10; ++r) {
            G("高级表格5").SetCellText(r, 2, "股票"_gbk + tag);
            G("高级表格5").SetCellText(r, 3, r % 2 ? "1.2%" : "--");
        }
    }
};

TEST_F(CompareSetTest, AddingMovesTheCurrentColumnAndPinsTheSelectedRow) {
    OpenFund(2);
    G("高级表格4").SetCellColor(1, 3, RgbBlue); // "--" arrives here: not coloured
    Fire(Routines().addToCompareChosen);

    for (int c = 0; c < 13; ++c) {
        EXPECT_EQ(G("高级表格2").CellText(1, c), G("高级表格1").CellText(2, c)) << c;
        EXPECT_EQ(G("高级表格2").CellColor(1, c),
                  c < 3 ? RgbBlack : G("高级表格1").CellColor(2, c));
    }
    const std::pair<const char*, Text> moved[] = {{"标签15", "size2"},
                                                  {"标签16", "manager2"},
                                                  {"标签17", "rating2"},
                                                  {"标签18", "22.3%"},
                                                  {"标签21", "基金2"_gbk}};
    for (const auto& [name, caption] : moved)
        EXPECT_EQ(L(name).Caption(), caption) << name;
    for (const char* name : {"标签11", "标签12", "标签13", "标签14", "标签19"})
        EXPECT_EQ(L(name).Caption(), "") << name;
    EXPECT_EQ(L("标签18").TextColor(), RgbRed);
    EXPECT_EQ(L("标签14").TextColor(), RgbRed) << "the current label keeps its colour";
    // Red above zero, green otherwise; a deviation without "%" reads as 0; "--" keeps its colour.
    const Rgb risk[2][3] = {{RgbRed, RgbGreen, RgbBlue}, {RgbRed, RgbGreen, RgbRed}};
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(G("高级表格4").CellColor(r, c), risk[r - 1][c - 1]) << r << c;
            EXPECT_EQ(G("高级表格3").CellText(r, c), "") << r << c;
        }
    }
    EXPECT_EQ(G("高级表格4").CellText(1, 1), "22.5%");
    for (int r = 1; r <= 10; ++r) {
        EXPECT_EQ(G("高级表格6").CellText(r, 2), "股票2"_gbk) << r;
        EXPECT_EQ(G("高级表格6").CellColor(r, 3), r % 2 ? RgbRed : RgbGreen) << "no -- test here";
        EXPECT_EQ(G("高级表格5").CellText(r, 2), "") << r;
    }
    EXPECT_EQ(State().CompareFundCode, "000002");
    EXPECT_EQ(State().CurrentFundCode, "");
}

TEST_F(CompareSetTest, WithoutASelectedFundNothingMoves) {
    G("高级表格1").SetCellText(4, 0, ""); // a row without a name
    const struct {
        const char* name;
        int listRow, compareRow; // cursor rows; 0: none
        bool add;
        Text message;
    } cases[] = {
        {"add without a selected row", 0, 0, true, "请选择要加入的对象"_gbk},
        {"add on a row without a name", 4, 0, true, "请选择要加入的对象"_gbk},
        {"remove without a selected row", 1, 0, false, "请选择要删除的对象"_gbk},
        {"remove on the empty second row", 1, 2, false, "请选择要删除的对象"_gbk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFund(3);
        auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
        const QSignalBlocker quiet(list); // the test's own cursor, not a user's move
        list->setCurrentCell(c.listRow - 1, 0);
        G("高级表格2").SetCursor(c.compareRow, 0);
        messages.Clear();
        Fire(c.add ? Routines().addToCompareChosen : Routines().removeFromCompareChosen);
        EXPECT_EQ(messages.texts(), std::vector<Text>{c.message});
        EXPECT_EQ(State().CurrentFundCode, "000003");
        EXPECT_EQ(State().CompareFundCode, "");
        EXPECT_EQ(G("高级表格2").CellText(1, 0), "");
        EXPECT_EQ(L("标签19").Caption(), "基金3"_gbk);
        EXPECT_EQ(G("高级表格5").CellText(1, 2), "股票3"_gbk);
    }
}

TEST_F(CompareSetTest, EveryTransitionOfTheTwoCodes) {
    enum Step { Open, Add, Remove };
    const struct {
        const char* name;
        Step step;
        int row; // list row opened, or selected to add
        Text current, compare, compareName, currentName;
    } steps[] = {
        {"empty, open: current only", Open, 1, "000001", "", "", "基金1"_gbk},
        {"current only, open another: replaced", Open, 2, "000002", "", "", "基金2"_gbk},
        {"current only, add: compare only", Add, 2, "", "000002", "基金2"_gbk, ""},
        {"compare only, open: both", Open, 3, "000003", "000002", "基金2"_gbk, "基金3"_gbk},
        {"both, add: compare only, replaced", Add, 3, "", "000003", "基金3"_gbk, ""},
        {"compare only, add: the empty column", Add, 1, "", "000001", "", ""},
        {"compare only, remove: empty", Remove, 0, "", "", "", ""},
        {"empty, add a selected row: compare only", Add, 4, "", "000004", "", ""},
        {"compare only, open: both", Open, 2, "000002", "000004", "", "基金2"_gbk},
        {"both, remove: current only", Remove, 0, "000002", "", "", "基金2"_gbk},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.step == Open) {
            OpenFund(s.row);
        } else if (s.step == Add) {
            Select(s.row);
            Fire(Routines().addToCompareChosen);
        } else {
            G("高级表格2").SetCursor(1, 0);
            Fire(Routines().removeFromCompareChosen);
        }
        EXPECT_EQ(State().CurrentFundCode, s.current);
        EXPECT_EQ(State().CompareFundCode, s.compare);
        EXPECT_EQ(G("高级表格2").CellText(1, 1), s.compare);
        EXPECT_EQ(L("标签21").Caption(), s.compareName);
        EXPECT_EQ(L("标签19").Caption(), s.currentName);
    }
    EXPECT_TRUE(messages.shown().empty());
}

} // namespace
} // namespace fundlens::test
