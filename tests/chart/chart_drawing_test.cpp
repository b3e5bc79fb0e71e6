// The comparison chart drawn on a panel of the chart window's size, and its mouse read-out.
#include "chart/chart_drawing.h"
#include "chart/chart_readout.h"
#include "chart/readout_geometry.h"
#include "shell/program_state.h"
#include "support/gui_test.h"

#include <QTest>

namespace fundlens::test {
namespace {

// 画板1 is 632 x 328: plot from x 40 to 532, y 60 (top) to 298 (bottom); 14 pixels a unit
// from -4 to 13.
constexpr int PanelWidth = 632, PanelHeight = 328;
constexpr Rgb Orange = MakeRgb(192, 96, 0);
const std::vector<float> SeriesA{0, -3.7f, 1.52f, 8.21f, 12.9f};

QRgb Q(Rgb c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

class ChartDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        m_host.resize(PanelWidth, PanelHeight);
        m_panel = new DrawPanelWidget(&m_host);
        m_panel->setGeometry(0, 0, PanelWidth, PanelHeight);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }
    void TearDown() override { ResetProgramState(); }

    void DrawFrame() {
        ChartFrame frame;
        frame.horizontalSpec = "4|01||02||03||04||07|";
        frame.verticalSpec = "9|-4|13";
        frame.horizontalSubdivision = 2;
        frame.axisTitles = "时间|涨跌（%）"_gbk;
        frame.dates = {"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04", "2026/12/07"};
        DrawChartFrame(State().ChartState, DrawPanel(m_panel), frame);
    }
    void DrawTwoFunds() {
        DrawFrame();
        DrawSeries(State().ChartState, SeriesA, 3, RgbRed, "005669");
        DrawSeries(State().ChartState, {0, 0.35f, -1.2f, 2.05f, 4.4f}, 3, Orange, "005939");
    }
    const QImage& Canvas() const { return m_panel->canvas(); }
    static const ChartState& Chart() { return State().ChartState; }
    static std::vector<int> ReadoutState() {
        const ChartState& c = Chart();
        return {c.crosshairX, c.crosshairY, c.boxX, c.lastColumn};
    }

private:
    QWidget m_host;
    DrawPanelWidget* m_panel = nullptr;
};

TEST_F(ChartDrawingTest, TheChartAndWhatTheReadoutReads) {
    DrawTwoFunds();
    const ChartState& c = Chart();
    EXPECT_EQ(std::vector<int>({c.left, c.right, c.bottom, c.top, c.intervals, c.rowCount}),
              std::vector<int>({40, 532, 298, 60, 4, 3}));
    EXPECT_EQ(c.ReadoutTable[0][0], "时间"_gbk);
    EXPECT_EQ(c.ReadoutTable[2],
              (std::vector<Text>{"005939", "24768", "0", "0.35", "-1.2", "2.05", "4.4"}));
    ASSERT_TRUE(c.savedImage.has_value());
    EXPECT_TRUE(*c.savedImage == Canvas()) << "the finished chart is saved";
    EXPECT_EQ(Canvas().pixel(528, 242), Q(ChartMajorGrid)) << "the zero line";
    EXPECT_EQ(Canvas().pixel(547, 79), Q(Orange)) << "the second legend bar, 18 pixels down";
    // Every column between two points of A is red near the line joining them (orange where B
    // crosses): the curve is unbroken, a wide pen draws no dots.
    const double step = 123, unit = 14;
    for (std::size_t i = 1; i < SeriesA.size(); ++i) {
        const double x1 = 40 + step * double(i - 1), y1 = 298 - unit * (SeriesA[i - 1] + 4);
        const double y2 = 298 - unit * (SeriesA[i] + 4);
        for (int x = int(x1) + 3; x < int(x1 + step) - 3; ++x) {
            const int y = int(y1 + (y2 - y1) * (x - x1) / step);
            bool found = false;
            for (int dy = -3; dy <= 3 && !found; ++dy)
                found = Canvas().pixel(x, y + dy) == Q(RgbRed) ||
                        Canvas().pixel(x, y + dy) == Q(Orange);
            ASSERT_TRUE(found) << "segment " << i << " at x " << x;
        }
    }
}

TEST_F(ChartDrawingTest, ReadoutFollowsTheMouseAndLeavesTheChartAsDrawn) {
    DrawFrame();
    const QImage frameOnly = Canvas();
    ShowReadout(State().ChartState, 100, 150);
    EXPECT_TRUE(Canvas() == frameOnly) << "no read-out before a series is drawn";
    DrawSeries(State().ChartState, SeriesA, 3, RgbRed, "005669");
    const QImage chart = Canvas();

    // Point 1, left half: the box goes right with its outline; the crosshair comes back with
    // the next move, inverting what it crosses.
    ShowReadout(State().ChartState, 60, 150);
    EXPECT_EQ(ReadoutState(), std::vector<int>({0, 0, 396, 1}));
    EXPECT_EQ(Canvas().pixel(396, 60), Q(ReadoutBoxOutline));
    EXPECT_EQ(Canvas().pixel(517, 70), Q(ReadoutBoxFill));
    ShowReadout(State().ChartState, 61, 151);
    EXPECT_EQ(ReadoutState(), std::vector<int>({61, 151, 396, 1}));
    int inverted = 0;
    for (int y = 100; y < 240; ++y)
        inverted +=
            Canvas().pixel(61, y) == qRgb(0, 0, 0) && chart.pixel(61, y) == qRgb(255, 255, 255);
    EXPECT_GT(inverted, 30) << "a dotted vertical line, white turned black";

    ShowReadout(State().ChartState, 600, 150); // outside the plot's band
    EXPECT_TRUE(Canvas() == chart);
    EXPECT_EQ(ReadoutState(), std::vector<int>({0, 0, 0, 0}));

    // At the middle point the box goes right without an outline.
    ShowReadout(State().ChartState, 200, 150);
    EXPECT_EQ(ReadoutState(), std::vector<int>({200, 150, 396, 2}));
    EXPECT_EQ(Canvas().pixel(396, 60), chart.pixel(396, 60));

    // A new chart starts the read-out afresh.
    DrawFrame();
    DrawSeries(State().ChartState, SeriesA, 3, RgbRed, "005669");
    EXPECT_EQ(ReadoutState(), std::vector<int>({0, 0, 0, 0}));
    EXPECT_TRUE(Canvas() == chart);
}

TEST_F(ChartDrawingTest, CrosshairOverTheBoxLeavesNoStreaks) {
    DrawTwoFunds();
    // The crosshair crosses the box (rows 40 to 91) as the mouse moves, then the box shows
    // another point.
    for (const auto& [x, y] : {std::pair{60, 50}, {70, 55}, {80, 60}, {170, 65}, {171, 66}})
        ShowReadout(State().ChartState, x, y);
    const QImage travelled = Canvas();
    ShowReadout(State().ChartState, 600, 150);
    ShowReadout(State().ChartState, 60, 50);
    ShowReadout(State().ChartState, 171, 66);
    EXPECT_TRUE(travelled == Canvas()) << "the same picture as moving there directly";
}

} // namespace
} // namespace fundlens::test
