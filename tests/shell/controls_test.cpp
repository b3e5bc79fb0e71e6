// The control adapters: grid addressing (header row 0), colours, clearing and resetting,
// labels as plain text, the list view, picture boxes, the draw panel, and the guards.
#include "shell/controls.h"
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <thread>

namespace fundlens::test {
namespace {

class ControlsTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
        fundList = MainWindow().GridNamed("高级表格1");
    }
    Grid fundList;
};

TEST(RgbTest, RedLivesInTheLowestByte) {
    EXPECT_EQ(MakeRgb(255, 0, 0), 0x0000ffu);
    EXPECT_EQ(MakeRgb(0, 128, 0), 0x008000u);
    EXPECT_EQ(MakeRgb(0, 96, 192), 0xc06000u);
    EXPECT_EQ(RgbToHex(RgbBlue), "#0060c0");
    EXPECT_EQ(FromQColor(ToQColor(MakeRgb(1, 2, 3))), MakeRgb(1, 2, 3));
}

TEST_F(ControlsTest, GridRowsCountTheHeaderAndCellsAddressRowsFromIt) {
    fundList.SetCellText(1, 0, "华夏成长"_gbk);
    fundList.SetCellText(19, 12, "-"_gbk);
    auto* widget = FindControl<GridWidget>(MainWindow(), "高级表格1");
    EXPECT_EQ(widget->item(0, 0)->text(), QString::fromUtf8("华夏成长"));
    EXPECT_EQ(fundList.CellText(1, 0), "华夏成长"_gbk);
    EXPECT_EQ(fundList.CellText(19, 12), "-");

    // Outside the rows or columns: ignored, read as empty.
    fundList.SetCellText(20, 0, "x");
    fundList.SetCellText(1, 13, "x");
    fundList.SetCellText(-1, 0, "x");
    EXPECT_EQ(fundList.RowCount(), 20);
    EXPECT_EQ(fundList.ColumnCount(), 13);
    EXPECT_EQ(fundList.CellText(20, 0), "");
    EXPECT_EQ(fundList.CellText(1, 13), "");

    // Row 0 is the header.
    fundList.SetCellText(0, 1, "代码"_gbk);
    EXPECT_EQ(widget->horizontalHeaderItem(1)->text(), QString::fromUtf8("代码"));
    EXPECT_EQ(fundList.CellText(0, 1), "代码"_gbk);
}

TEST_F(ControlsTest, GridColoursSingleCellsAndRanges) {
    EXPECT_EQ(fundList.CellColor(1, 4), RgbBlack);
    fundList.SetCellColor(1, 4, RgbRed);
    EXPECT_EQ(fundList.CellColor(1, 4), RgbRed);
    // Corners in either order, clipped to the grid.
    fundList.SetCellColorRange(3, 12, 2, 5, RgbBlue);
    for (int row = 2; row <= 3; ++row) {
        for (int column = 5; column <= 12; ++column) {
            EXPECT_EQ(fundList.CellColor(row, column), RgbBlue) << row << "," << column;
        }
    }
    EXPECT_EQ(fundList.CellColor(2, 4), RgbBlack);
    EXPECT_EQ(fundList.CellColor(4, 5), RgbBlack);
    fundList.SetCellColorRange(18, 0, 40, 40, RgbGreen);
    EXPECT_EQ(fundList.CellColor(19, 12), RgbGreen);
    // A colour keeps the text, a text keeps the colour.
    fundList.SetCellText(1, 4, "1.5%");
    EXPECT_EQ(fundList.CellColor(1, 4), RgbRed);
}

TEST_F(ControlsTest, GridClearKeepsRowCountAndRestoresTheHeader) {
    fundList.SetRowCount(60);
    fundList.SetCellText(0, 0, "changed");
    fundList.SetCellColor(0, 0, RgbRed);
    fundList.SetCellText(59, 3, "1.234");
    fundList.SetCellColor(59, 3, RgbGreen);
    fundList.Clear();
    EXPECT_EQ(fundList.RowCount(), 60);
    EXPECT_EQ(fundList.ColumnCount(), 13);
    EXPECT_EQ(fundList.CellText(0, 0), "基金名称"_gbk);
    EXPECT_EQ(fundList.CellColor(0, 0), RgbBlack);
    EXPECT_EQ(fundList.CellText(59, 3), "");
    EXPECT_EQ(fundList.CellColor(59, 3), RgbBlack);
}

TEST_F(ControlsTest, GridResetGoesBackToTheDesignedRowCount) {
    Grid holdings = MainWindow().GridNamed("高级表格5");
    holdings.SetRowCount(3);
    holdings.SetCellText(1, 2, "平安银行"_gbk);
    holdings.SetCellText(0, 2, "x");
    holdings.Reset();
    EXPECT_EQ(holdings.RowCount(), 11);
    EXPECT_EQ(holdings.CellText(1, 2), "");
    EXPECT_EQ(holdings.CellText(0, 2), "股票名称"_gbk);
}

TEST_F(ControlsTest, GridRowCountIsBounded) {
    fundList.SetRowCount(0);
    EXPECT_EQ(fundList.RowCount(), 1); // the header stays
    fundList.SetRowCount(-5);
    EXPECT_EQ(fundList.RowCount(), 1);
    // A page count from a broken answer must not exhaust memory.
    fundList.SetRowCount(2000000000);
    EXPECT_LE(fundList.RowCount(), 100000);
    EXPECT_GT(fundList.RowCount(), 1000);
}

TEST_F(ControlsTest, GridCursorIsReadAndSetWithoutRaisingTheEvent) {
    int moves = 0;
    Routines().cursorMoved = [&](int, int) { ++moves; };
    EXPECT_EQ(fundList.CursorRow(), -1);
    fundList.SetCursor(5, 2);
    EXPECT_EQ(fundList.CursorRow(), 5);
    EXPECT_EQ(fundList.CursorColumn(), 2);
    fundList.SetCursor(0, 0); // the header cannot hold the cursor
    EXPECT_EQ(fundList.CursorRow(), 5);
    // Shrinking the grid under the cursor is the program's doing, not a user's move.
    fundList.SetRowCount(3);
    EXPECT_EQ(moves, 0);
}

TEST_F(ControlsTest, CtrlCCopiesTheSelectedBlockAsTabSeparatedLines) {
    auto* widget = FindControl<GridWidget>(MainWindow(), "高级表格1");
    for (int row = 1; row <= 3; ++row) {
        std::vector<Text> cells;
        for (int column = 0; column < 4; ++column)
            cells.push_back("r" + NumberToText(row) + "c" + NumberToText(column));
        ShowListRow(row, cells);
    }
    State().Views.fundList.rows[1][2].text = "基金"_gbk;
    State().Views.fundList.rows[2][1].text = "";
    // Rows 2 and 3, columns 1 and 2 (the widget counts data rows from 0).
    widget->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 2), true);
    Focus(widget);
    QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
    // The figures as the list holds them, whatever a cell shows.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("r2c1\t基金\n\tr3c2"));
    // The header row and the detail grids copy their texts too.
    auto* risk = FindControl<GridWidget>(MainWindow(), "高级表格3");
    State().Views.current.riskLabels = {"标准差"_gbk, "夏普比率"_gbk};
    State().Views.current.risk[0][0].text = "15.20%";
    risk->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    Focus(risk);
    QTest::keyClick(risk, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("标准差\t15.20%"));
}

TEST_F(ControlsTest, LabelsShowPlainTextAndTheirColour) {
    Label label = MainWindow().LabelNamed("标签14");
    label.SetCaption("<b>12.5%</b>（任期：3年）"_gbk);
    auto* widget = FindControl<QLabel>(MainWindow(), "标签14");
    EXPECT_EQ(widget->textFormat(), Qt::PlainText);
    EXPECT_EQ(label.Caption(), "<b>12.5%</b>（任期：3年）"_gbk);
    label.SetTextColor(RgbGreen);
    EXPECT_EQ(label.TextColor(), RgbGreen);
    EXPECT_EQ(widget->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}

TEST_F(ControlsTest, TextsKeepCharactersThroughTheWidgets) {
    Label label = MainWindow().LabelNamed("标签19");
    const Text samples[] = {"", "易方达蓝筹精选混合"_gbk, "★★★☆☆"_gbk, "A&B <c> 100%",
                            "ＡＢＣ　１２"_gbk};
    for (const Text& sample : samples) {
        label.SetCaption(sample);
        EXPECT_EQ(label.Caption(), sample);
    }
}

TEST_F(ControlsTest, EditBoxContentAndColour) {
    EditBox search = MainWindow().EditNamed("搜索框");
    EXPECT_EQ(search.Content(), "输入代码或名称"_gbk);
    EXPECT_EQ(search.TextColor(), RgbGrey);
    search.SetContent("");
    search.SetTextColor(RgbBlack);
    EXPECT_EQ(search.Content(), "");
    EXPECT_EQ(search.TextColor(), RgbBlack);
}

TEST_F(ControlsTest, ListViewItemsSelectionAndHeight) {
    ListView list = MainWindow().ListNamed("超级列表框1");
    EXPECT_EQ(list.AddItem({"华夏成长"_gbk, "000001"}), 0);
    EXPECT_EQ(list.AddItem({"嘉实增长"_gbk, "070002"}), 1);
    EXPECT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.ItemText(1, 0), "嘉实增长"_gbk);
    EXPECT_EQ(list.ItemText(1, 1), "070002");
    EXPECT_EQ(list.ItemText(2, 0), "");
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    list.SetHeight(96);
    EXPECT_EQ(list.Height(), 96);
    EXPECT_EQ(list.widget()->width(), 216);
    list.SetVisible(true);
    EXPECT_TRUE(list.Visible());
    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

Bytes PngBytes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(data.begin(), data.end());
}

class ChartWindowTest : public ControlsTest {
protected:
    // Runs `body` while the chart window is open.
    void WithChartWindow(const std::function<void(Window)>& body) {
        Routines().chartWindowCreated = [&] {
            body(ChartWindow());
            ChartWindow().Close();
        };
        OpenChartWindowModal();
    }
};

TEST_F(ChartWindowTest, PictureBoxShowsDecodedImagesAndClearsOnBadBytes) {
    WithChartWindow([](Window chart) {
        PictureBox box = chart.PictureNamed("图片框1");
        EXPECT_FALSE(box.HasImage());
        EXPECT_TRUE(box.ShowImage(PngBytes(40, 20)));
        EXPECT_TRUE(box.HasImage());
        EXPECT_FALSE(box.ShowImage(Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'}));
        EXPECT_FALSE(box.HasImage());
        EXPECT_TRUE(box.ShowImage(PngBytes(4, 4)));
        EXPECT_FALSE(box.ShowImage({}));
        EXPECT_FALSE(box.HasImage());
    });
}

TEST_F(ChartWindowTest, PanelDrawsIntoItsCanvasAndInvertedDrawingUndoesItself) {
    WithChartWindow([](Window chart) {
        DrawPanel panel = chart.PanelNamed("画板1");
        EXPECT_EQ(panel.Width(), 632);
        EXPECT_EQ(panel.Height(), 328);
        panel.Clear();
        panel.SetPenColor(RgbRed);
        panel.SetPenWidth(1);
        panel.Line(10, 10, 100, 10);
        QImage drawn = panel.CopyImage();
        EXPECT_EQ(drawn.pixel(50, 10), qRgb(255, 0, 0));
        EXPECT_EQ(drawn.pixel(50, 11), qRgb(255, 255, 255));

        // Inverted drawing twice restores every pixel, over the chart and the background.
        panel.SetPenStyle(PenStyle::Dotted);
        panel.SetInvertMode(true);
        panel.Line(0, 10, 200, 10);
        panel.Line(50, 0, 50, 300);
        QImage crossed = panel.CopyImage();
        EXPECT_NE(crossed, drawn);
        panel.Line(0, 10, 200, 10);
        panel.Line(50, 0, 50, 300);
        EXPECT_EQ(panel.CopyImage(), drawn);
        panel.SetInvertMode(false);

        // A filled box covers its box, right and bottom edges excluded; an outline too.
        panel.SetBrushColor(RgbGrey);
        panel.FillRect(200, 100, 210, 110);
        QImage filled = panel.CopyImage();
        EXPECT_EQ(filled.pixel(200, 100), qRgb(192, 192, 192));
        EXPECT_EQ(filled.pixel(209, 109), qRgb(192, 192, 192));
        EXPECT_EQ(filled.pixel(210, 105), qRgb(255, 255, 255));
        panel.SetPenStyle(PenStyle::Solid);
        panel.SetPenColor(MakeRgb(96, 96, 96));
        panel.Rectangle(300, 100, 310, 110);
        QImage boxed = panel.CopyImage();
        EXPECT_EQ(boxed.pixel(300, 100), qRgb(96, 96, 96));
        EXPECT_EQ(boxed.pixel(309, 109), qRgb(96, 96, 96));
        EXPECT_EQ(boxed.pixel(310, 105), qRgb(255, 255, 255));
        EXPECT_EQ(boxed.pixel(305, 105), qRgb(255, 255, 255));

        // Text lands below and right of its top-left point, in the text colour.
        panel.SetTextColor(RgbBlue);
        panel.SetFontSize(9);
        EXPECT_EQ(panel.FontSize(), 9);
        panel.DrawText(400, 200, "涨跌（%）"_gbk);
        QImage texted = panel.CopyImage();
        bool inside = false, above = false;
        for (int y = 180; y < 230; ++y) {
            for (int x = 390; x < 500; ++x) {
                if (texted.pixel(x, y) != qRgb(255, 255, 255)) {
                    (y >= 200 && x >= 400 ? inside : above) = true;
                }
            }
        }
        EXPECT_TRUE(inside);
        EXPECT_FALSE(above);

        // The whole canvas goes out and back.
        panel.RestoreImage(drawn);
        EXPECT_EQ(panel.CopyImage(), drawn);
    });
}

TEST_F(ControlsTest, AdaptersOfGoneControlsAndOtherThreadsDoNothing) {
    Grid orphan;
    orphan.SetCellText(1, 1, "x");
    EXPECT_EQ(orphan.CellText(1, 1), "");
    EXPECT_EQ(orphan.RowCount(), 0);
    EXPECT_EQ(orphan.CursorRow(), -1);
    EXPECT_FALSE(Window().Exists());
    EXPECT_FALSE(SectorWindow().Exists());

    // A worker thread writing a label: ignored (widgets belong to the GUI thread).
    Label name = MainWindow().LabelNamed("标签19");
    std::thread worker([&] { name.SetCaption("from a worker"); });
    worker.join();
    EXPECT_EQ(name.Caption(), "");

    // A window destroyed under an adapter.
    Window sector = OpenSectorWindow();
    Button button = sector.ButtonNamed("按钮1");
    EXPECT_EQ(button.Caption(), "工程建设"_gbk);
    sector.Close();
    ASSERT_TRUE(WaitUntil([&] { return !sector.Exists(); }));
    EXPECT_FALSE(button.Exists());
    button.SetCaption("x");
    EXPECT_EQ(button.Caption(), "");
}

TEST_F(ControlsTest, TitleIsTheStatusLine) {
    MainWindow().SetTitle("五星基金正在加载第20条"_gbk);
    EXPECT_EQ(MainWindow().Title(), "五星基金正在加载第20条"_gbk);
    EXPECT_EQ(MainWindow().widget()->windowTitle(), QString::fromUtf8("五星基金正在加载第20条"));
}

TEST_F(ControlsTest, ToolTipsAreShownAsTyped) {
    Control risk = MainWindow().ControlNamed("高级表格3");
    risk.SetToolTip("标准差：波动\r\n\r\n夏普比率：越大越好"_gbk);
    EXPECT_EQ(risk.widget()->toolTip(), QString::fromUtf8("标准差：波动\n\n夏普比率：越大越好"));
    risk.SetToolTip("<b>x</b>");
    EXPECT_TRUE(risk.widget()->toolTip().contains(QStringLiteral("&lt;b&gt;")));
}

} // namespace
} // namespace fundlens::test
