// The compare set: adding moves the current column into the compare column and pins the
// selected list row's fund; removing empties the compare column; every transition of the codes.
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/main_view.h"
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
        for (int row = 1; row <= 4; ++row) {
            std::vector<Text> texts{"基金"_gbk + NumberToText(row), "00000" + NumberToText(row),
                                    ""};
            std::vector<std::optional<Rgb>> colors{RgbBlue, std::nullopt, std::nullopt};
            for (int column = 3; column < 13; ++column) {
                texts.push_back(NumberToText(column));
                colors.push_back(column % 2 ? RgbRed : RgbGreen);
            }
            ShowListRow(row, texts, colors);
        }
    }

    static void Select(int row) { G("高级表格1").SetCursor(row, 0); }

    // What the detail loaders show for the fund of list row `row`, tagged with the row.
    static void OpenFund(int row) {
        Select(row);
        const Text tag = NumberToText(row);
        State().CurrentFundCode = State().Views.fundList.rows[row - 1][1].text;
        DetailColumnView& current = State().Views.current;
        current.name = "基金"_gbk + tag;
        current.size = "size" + tag;
        current.managers = "manager" + tag;
        current.rating = "rating" + tag;
        current.tenure = {tag + "2.3%", RgbRed};
        const Text risk[2][3] = {{tag + "2.5%", "3.5", "--"}, {"0.85", "0", "5%"}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                current.risk[r][c].text = risk[r][c];
        for (int r = 0; r < 10; ++r) {
            current.holdings[r].name = "股票"_gbk + tag;
            current.holdings[r].change = r % 2 == 0 ? "1.2%" : "--";
        }
        ShowDetailColumn(DetailSide::Current);
    }
};

TEST_F(CompareSetTest, AddingMovesTheCurrentColumnAndPinsTheSelectedRow) {
    OpenFund(2);
    State().Views.compare.risk[0][2].color = RgbBlue; // "--" arrives here: not coloured
    ShowDetail(DetailSide::Compare, DetailPart::Risk);
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
    State().Views.fundList.rows[3][0].text.clear(); // a row without a name
    ShowFundListRows(4, 1);
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
