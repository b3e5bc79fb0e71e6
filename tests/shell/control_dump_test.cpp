// The control dump: its shape, live and closed windows, the chart panel's state and canvas,
// and when it is written.
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QImage>
#include <fstream>
#include <nlohmann/json.hpp>

namespace fundlens::test {
namespace {

using nlohmann::json;

class ControlDumpTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
        path = TempPath("control_dump_test.json");
        std::remove(path.c_str());
        std::remove((path + ".chart.png").c_str());
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        std::remove(path.c_str());
        std::remove((path + ".chart.png").c_str());
    }
    json ReadDump() const {
        std::ifstream in(path);
        return in ? json::parse(in) : json();
    }
    std::string path;
};

TEST_F(ControlDumpTest, EveryControlWithKindGeometryAndState) {
    Grid list = MainWindow().GridNamed("高级表格1");
    list.SetCellText(1, 0, "华夏成长"_gbk);
    list.SetCellColor(1, 4, RgbBlue);
    list.SetCursor(1, 4);
    MainWindow().LabelNamed("标签14").SetTextColor(RgbGreen);
    MainWindow().ListNamed("超级列表框1").AddItem({"名称"_gbk, "000001"});
    MainWindow().SetTitle("五星基金加载完毕，共1支基金"_gbk);
    State().CurrentFundCode = "000001";

    const json dump = json::parse(DumpText());
    EXPECT_EQ(dump["state"]["CurrentFundCode"], "000001");
    EXPECT_EQ(dump["state"]["FirstSectorLoad"], 1);
    for (const char* key :
         {"ProgramVersion", "SortAscendingNext", "ListIsFiveStar", "CurrentSectorCode",
          "CurrentSectorName", "CompareFundCode", "SearchPickFlag", "CompareCodes"}) {
        EXPECT_TRUE(dump["state"].contains(key)) << key;
    }
    EXPECT_TRUE(dump["windows"]["sector"].is_null());
    EXPECT_TRUE(dump["windows"]["chart"].is_null());
    EXPECT_TRUE(dump["windows"]["watchlist"].is_null());
    EXPECT_TRUE(dump["windows"]["basket"].is_null());

    const json& main = dump["windows"]["main"];
    EXPECT_EQ(main["title"], "五星基金加载完毕，共1支基金");
    const json& controls = main["controls"];
    // The designed controls, our two buttons and the two menus.
    EXPECT_EQ(controls.size(), 33u + 2u + 2u);
    for (const auto& [name, control] : controls.items()) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(control["kind"].is_string());
        EXPECT_EQ(control["geometry"].size(), 4u);
        EXPECT_TRUE(control["visible"].is_boolean());
        EXPECT_TRUE(control["enabled"].is_boolean());
    }
    const json& grid = controls["高级表格1"];
    EXPECT_EQ(grid["kind"], "grid");
    EXPECT_EQ(grid["rows"], 20);
    EXPECT_EQ(grid["columns"], 13);
    EXPECT_EQ(grid["cursor"], json::array({1, 4}));
    EXPECT_EQ(grid["geometry"], json::array({8, 8, 960, 576}));
    EXPECT_EQ(grid["cells"].size(), 20u);
    EXPECT_EQ(grid["cells"][0][10], "近一年");
    EXPECT_EQ(grid["cells"][1][0], "华夏成长");
    EXPECT_EQ(grid["colors"][1][4], "#0060c0");
    EXPECT_EQ(grid["colors"][1][5], "#000000");
    EXPECT_EQ(controls["标签14"]["kind"], "label");
    EXPECT_EQ(controls["标签14"]["color"], "#008000");
    EXPECT_EQ(controls["搜索框"]["kind"], "edit");
    EXPECT_EQ(controls["搜索框"]["text"], "输入代码或名称");
    EXPECT_EQ(controls["搜索框"]["color"], "#c0c0c0");
    EXPECT_EQ(controls["超级列表框1"]["kind"], "list");
    EXPECT_EQ(controls["超级列表框1"]["visible"], false);
    EXPECT_EQ(controls["超级列表框1"]["items"], json::array({json::array({"名称", "000001"})}));
    EXPECT_EQ(controls["超级列表框1"]["height"], 144);
    EXPECT_EQ(controls["五星基金钮"]["kind"], "button");
    EXPECT_EQ(controls["五星基金钮"]["text"], "五星基金");
    EXPECT_EQ(controls["菜单"]["items"], json::array({"加入对比", "加入自选", "加入对比篮"}));
    EXPECT_EQ(controls["高级表格3"]["cells"][2][0], "夏普比率");
}

TEST_F(ControlDumpTest, ClosedWindowsKeepTheirLastSnapshotAndClosingWritesTheDump) {
    SetDumpFile(path);
    Window sector = OpenSectorWindow();
    sector.ButtonNamed("按钮1").SetEnabled(false);
    json dump = json::parse(DumpText());
    ASSERT_TRUE(dump["windows"]["sector"].is_object());
    EXPECT_EQ(dump["windows"]["sector"]["controls"].size(), 108u);
    EXPECT_EQ(dump["windows"]["sector"]["controls"]["按钮53"]["text"], "央视5_");
    EXPECT_EQ(dump["windows"]["sector"]["controls"]["按钮108"]["geometry"],
              json::array({10, 536, 90, 40}));

    sector.Close();
    ASSERT_TRUE(WaitUntil([] { return !SectorWindow().Exists(); }));
    dump = ReadDump();
    ASSERT_TRUE(dump.is_object());
    EXPECT_EQ(dump["windows"]["sector"]["controls"]["按钮1"]["enabled"], false);
    EXPECT_EQ(json::parse(DumpText())["windows"]["sector"], dump["windows"]["sector"]);
}

TEST_F(ControlDumpTest, ChartPanelStateAndCanvasBesideTheDump) {
    SetDumpFile(path);
    Routines().chartWindowCreated = [] {
        DrawPanel panel = ChartWindow().PanelNamed("画板1");
        panel.SetPenColor(RgbRed);
        panel.Line(0, 0, 100, 0);
        ChartState& chart = State().ChartState;
        chart.left = 40;
        chart.right = 532;
        chart.intervals = 4;
        chart.ymin = -3;
        chart.ymax = 12;
        chart.rowCount = 2;
        chart.ReadoutTable = {{"时间"_gbk, "0", "01-02", "01-03"}, {"000001", "255", "1.5", "2"}};
        chart.horizontalSpec = "4|01-02||01-03|";
        chart.verticalSpec = "9|-3|12";
        chart.savedImage = panel.CopyImage();
        ChartWindow().Close();
    };
    OpenChartWindowModal();
    const json dump = ReadDump();
    ASSERT_TRUE(dump.is_object());
    const json& chart = dump["windows"]["chart"];
    EXPECT_EQ(chart["title"], "走势图");
    const json& panel = chart["controls"]["画板1"];
    EXPECT_EQ(panel["kind"], "panel");
    EXPECT_EQ(panel["geometry"], json::array({792, 32, 632, 328}));
    EXPECT_EQ(panel["chart"]["left"], 40);
    EXPECT_EQ(panel["chart"]["intervals"], 4);
    EXPECT_EQ(panel["chart"]["ymin"], -3.0);
    EXPECT_EQ(panel["chart"]["savedImage"], true);
    EXPECT_EQ(panel["chart"]["ReadoutTable"][0][0], "时间");
    EXPECT_EQ(panel["chart"]["verticalSpec"], "9|-3|12");
    EXPECT_EQ(chart["controls"]["图片框1"]["kind"], "picture");
    EXPECT_EQ(chart["controls"]["图片框1"]["hasImage"], false);
    EXPECT_EQ(chart["controls"]["按钮7"]["text"], "近3年");

    QImage canvas(QString::fromStdString(path + ".chart.png"));
    ASSERT_FALSE(canvas.isNull());
    EXPECT_EQ(canvas.size(), QSize(632, 328));
    EXPECT_EQ(canvas.pixel(50, 0), qRgb(255, 0, 0));
}

TEST_F(ControlDumpTest, WrittenWhenTheMainWindowClosesAndWhenTheProcessEnds) {
    SetDumpFile(path);
    MainWindow().SetTitle("closing");
    MainWindow().Close();
    json dump = ReadDump();
    ASSERT_TRUE(dump.is_object());
    EXPECT_EQ(dump["windows"]["main"]["title"], "closing");
    // After closing, the snapshot stays what it was at the close.
    MainWindow().SetTitle("later");
    EXPECT_EQ(json::parse(DumpText())["windows"]["main"]["title"], "closing");

    std::remove(path.c_str());
    EndProcess(0); // recorded by the fixture instead of ending the test
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_TRUE(ReadDump().is_object());
}

} // namespace
} // namespace fundlens::test
