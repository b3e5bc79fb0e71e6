// The three windows as designed: every control's name, kind, place, size, caption,
// visibility and enabled state, the grid designs, the sector buttons and the menus.
#include "portal/sector_table.h"
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/picture_box.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace fundlens::test {
namespace {

enum class Kind { Label, Button, Edit, Grid, List, Picture, Panel };

struct Expected {
    const char* name;
    Kind kind;
    const char* caption;
    int left, top, width, height;
    bool visible = true;
};

const Expected MainControlsExpected[] = {
    {"高级表格1", Kind::Grid, "", 8, 8, 960, 576},
    {"高级表格2", Kind::Grid, "", 8, 592, 960, 96},
    {"五星基金钮", Kind::Button, "五星基金", 976, 592, 112, 48},
    // Ours, where no designed control lies.
    {"自选基金钮", Kind::Button, "自选", 1096, 592, 112, 48},
    {"多基金对比钮", Kind::Button, "多基金对比", 1216, 592, 112, 48},
    {"选择板块钮", Kind::Button, "基金板块", 1000, 8, 120, 48},
    {"净值走势钮", Kind::Button, "走势图", 1128, 8, 120, 48},
    {"搜索框", Kind::Edit, "输入代码或名称", 1264, 8, 216, 48},
    {"超级列表框1", Kind::List, "", 1264, 56, 216, 144, false},
    {"标签20", Kind::Label, "基金名称：", 984, 64, 56, 24},
    {"标签19", Kind::Label, "", 1056, 64, 208, 24},
    {"标签1", Kind::Label, "基金规模：", 984, 96, 56, 24},
    {"标签11", Kind::Label, "", 1056, 96, 208, 24},
    {"标签2", Kind::Label, "基金经理：", 984, 128, 56, 24},
    {"标签12", Kind::Label, "", 1056, 128, 208, 24},
    {"标签3", Kind::Label, "基金评级：", 984, 160, 56, 24},
    {"标签13", Kind::Label, "", 1056, 160, 208, 24},
    {"标签4", Kind::Label, "任期回报：", 984, 192, 56, 24},
    {"标签14", Kind::Label, "", 1056, 192, 208, 24},
    {"高级表格3", Kind::Grid, "", 968, 224, 312, 88},
    {"标签5", Kind::Label, "十大持仓：", 984, 304, 56, 32},
    {"高级表格5", Kind::Grid, "", 968, 336, 312, 248},
    {"标签22", Kind::Label, "基金名称：", 1304, 64, 56, 24},
    {"标签21", Kind::Label, "", 1376, 64, 208, 24},
    {"标签10", Kind::Label, "基金规模：", 1304, 96, 56, 24},
    {"标签15", Kind::Label, "", 1376, 96, 208, 24},
    {"标签9", Kind::Label, "基金经理：", 1304, 128, 56, 24},
    {"标签16", Kind::Label, "", 1376, 128, 208, 24},
    {"标签8", Kind::Label, "基金评级：", 1304, 160, 56, 24},
    {"标签17", Kind::Label, "", 1376, 160, 208, 24},
    {"标签7", Kind::Label, "任期回报：", 1304, 192, 56, 24},
    {"标签18", Kind::Label, "", 1376, 192, 208, 24},
    {"高级表格4", Kind::Grid, "", 1288, 224, 312, 88},
    {"标签6", Kind::Label, "十大持仓：", 1304, 304, 56, 32},
    {"高级表格6", Kind::Grid, "", 1288, 336, 312, 248},
};

const Expected ChartControlsExpected[] = {
    {"图片框1", Kind::Picture, "", 8, 8, 770, 270},
    {"图片框2", Kind::Picture, "", 8, 288, 770, 270},
    {"画板1", Kind::Panel, "", 792, 32, 632, 328},
    {"标签2", Kind::Label, "", 976, 8, 240, 32},
    {"按钮1", Kind::Button, "近1周", 792, 368, 80, 40},
    {"按钮2", Kind::Button, "近1月", 888, 368, 80, 40},
    {"按钮3", Kind::Button, "近3月", 984, 368, 80, 40},
    {"按钮4", Kind::Button, "近6月", 1080, 368, 72, 40},
    {"按钮5", Kind::Button, "近1年", 1168, 368, 80, 40},
    {"按钮6", Kind::Button, "近2年", 1264, 368, 72, 40},
    {"按钮7", Kind::Button, "近3年", 1352, 368, 72, 40},
    {"标签1", Kind::Label, "注意：走势差异较大，以实际数据为准", 936, 424, 368, 32},
};

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool HasKind(QWidget* w, Kind kind) {
    switch (kind) {
    case Kind::Label:
        return qobject_cast<QLabel*>(w) != nullptr;
    case Kind::Button:
        return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::Edit:
        return qobject_cast<QLineEdit*>(w) != nullptr;
    case Kind::Grid:
        return qobject_cast<GridWidget*>(w) != nullptr;
    case Kind::List:
        return qobject_cast<QTreeWidget*>(w) != nullptr;
    case Kind::Picture:
        return qobject_cast<PictureBoxWidget*>(w) != nullptr;
    case Kind::Panel:
        return qobject_cast<DrawPanelWidget*>(w) != nullptr;
    }
    return false;
}

QString CaptionOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        return button->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    return {};
}

void ExpectControls(const Window& window, const Expected* begin, const Expected* end) {
    for (const Expected* e = begin; e != end; ++e) {
        SCOPED_TRACE(e->name);
        QWidget* w = FindControl(window, e->name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(HasKind(w, e->kind));
        EXPECT_EQ(w->geometry(), QRect(e->left, e->top, e->width, e->height));
        EXPECT_EQ(CaptionOf(w), Q(e->caption));
        EXPECT_EQ(!w->isHidden(), e->visible);
        EXPECT_TRUE(w->isEnabled());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        }
    }
}

// Named controls of a window that the expectation does not list (menus aside).
int CountNamedControls(QWidget* window) {
    int count = 0;
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w)) {
            ++count;
        }
    }
    return count;
}

class WindowDesignTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
    }
};

TEST_F(WindowDesignTest, MainWindowHasEveryDesignedControl) {
    ExpectControls(MainWindow(), std::begin(MainControlsExpected), std::end(MainControlsExpected));
    EXPECT_EQ(CountNamedControls(MainWindow().widget()), std::size(MainControlsExpected));
}

TEST_F(WindowDesignTest, MainWindowPlaceSizeAndEmptyTitle) {
    QWidget* w = MainWindow().widget();
    EXPECT_EQ(w->frameGeometry(), QRect(50, 50, 1609, 724)) << "place and outer size";
    EXPECT_EQ(w->windowTitle(), QString());
}

// The designed size is the outer size: a window manager's frame comes out of the client area,
// never so far that a designed control would be cut off.
TEST(OuterSize, TheFrameComesOutOfTheClientArea) {
    const struct {
        const char* name;
        QSize designed;
        int frameWidth, frameHeight;
        QSize extent, client;
    } cases[] = {
        {"no window manager", {1609, 724}, 0, 0, {1600, 688}, {1609, 724}},
        {"a frame", {1609, 724}, 8, 31, {1600, 688}, {1601, 693}},
        {"the controls need more", {909, 582}, 8, 31, {901, 576}, {901, 576}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClientSizeForOuterSize(c.designed, c.frameWidth, c.frameHeight, c.extent),
                  c.client);
    }
}

TEST_F(WindowDesignTest, SearchBoxShowsTheHintInGreyAndSuggestionListStartsHidden) {
    auto* search = FindControl<QLineEdit>(MainWindow(), "搜索框");
    EXPECT_EQ(FromQColor(search->palette().color(QPalette::Text)), MakeRgb(192, 192, 192));
    EXPECT_FALSE(search->hasFocus()); // focusing it would clear the hint
    auto* list = FindControl<QTreeWidget>(MainWindow(), "超级列表框1");
    EXPECT_FALSE(list->isVisible());
    ASSERT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), Q("名称"));
    EXPECT_EQ(list->headerItem()->text(1), Q("ID"));
    EXPECT_EQ(list->columnWidth(0), 210);
    EXPECT_EQ(list->columnWidth(1), 0);
}

struct GridExpectation {
    const char* name;
    int rows, columns, rowHeight;
    std::vector<std::pair<const char*, int>> headers;
};

const std::vector<std::pair<const char*, int>> FundHeaders = {
    {"基金名称", 200}, {"基金代码", 60}, {"日期", 80},  {"净值", 60},  {"日增长率", 60},
    {"近1周", 60},     {"近1月", 60},    {"近3月", 60}, {"近6月", 60}, {"今年来", 60},
    {"近一年", 60},    {"近2年", 60},    {"近3年", 60}};
const std::vector<std::pair<const char*, int>> RiskHeaders = {
    {"风险指标", 110}, {"近1年", 66}, {"近2年", 66}, {"近3年", 67}};
const std::vector<std::pair<const char*, int>> HoldingHeaders = {
    {"序", 40}, {"代码", 60}, {"股票名称", 100}, {"涨跌", 54}, {"占比", 54}};

TEST_F(WindowDesignTest, GridDesigns) {
    const GridExpectation grids[] = {
        {"高级表格1", 20, 13, 30, FundHeaders},   {"高级表格2", 3, 13, 30, FundHeaders},
        {"高级表格3", 3, 4, 28, RiskHeaders},     {"高级表格4", 3, 4, 28, RiskHeaders},
        {"高级表格5", 11, 5, 22, HoldingHeaders}, {"高级表格6", 11, 5, 22, HoldingHeaders},
    };
    for (const GridExpectation& e : grids) {
        SCOPED_TRACE(e.name);
        Grid grid = MainWindow().GridNamed(e.name);
        auto* widget = FindControl<GridWidget>(MainWindow(), e.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(grid.RowCount(), e.rows);
        EXPECT_EQ(grid.ColumnCount(), e.columns);
        EXPECT_EQ(widget->horizontalHeader()->height(), e.rowHeight);
        EXPECT_EQ(widget->rowHeight(0), e.rowHeight);
        for (int c = 0; c < e.columns; ++c) {
            EXPECT_EQ(grid.CellText(0, c), Utf8ToText(e.headers[c].first)) << "column " << c;
            EXPECT_EQ(widget->columnWidth(c), e.headers[c].second) << "column " << c;
        }
        EXPECT_EQ(grid.CursorRow(), -1);
    }
    // The eleventh header of the fund grids is written with the character, not the digit.
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(0, 10), "近一年"_gbk);
    EXPECT_EQ(MainWindow().GridNamed("高级表格2").CellText(0, 10), "近一年"_gbk);
}

TEST_F(WindowDesignTest, PopupMenusHoldTheirItemsAndStartHidden) {
    // The designed item first; ours after it.
    const std::pair<const char*, std::vector<const char*>> menus[] = {
        {"菜单", {"加入对比", "加入自选", "加入对比篮"}}, {"菜单1", {"删除对比"}}};
    for (const auto& [name, items] : menus) {
        SCOPED_TRACE(name);
        auto* menu = MainWindow().widget()->findChild<QMenu*>(Q(name));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), static_cast<qsizetype>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(menu->actions()[static_cast<qsizetype>(i)]->text(), Q(items[i]));
        EXPECT_FALSE(menu->isVisible());
    }
}

TEST_F(WindowDesignTest, SectorWindowButtonsRunLeftToRightThenRightToLeft) {
    Window sector = OpenSectorWindow();
    ASSERT_TRUE(sector.Exists());
    QWidget* w = sector.widget();
    EXPECT_EQ(w->frameGeometry(), QRect(50, 50, 909, 582)) << "place and outer size";
    EXPECT_EQ(w->windowTitle(), QString());
    EXPECT_TRUE(w->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(w->parentWidget(), nullptr);
    EXPECT_EQ(CountNamedControls(w), 108);

    const int columnLefts[] = {10, 111, 211, 311, 411, 511, 611, 711, 811};
    for (int n = 1; n <= 108; ++n) {
        const std::string name = "按钮" + std::to_string(n);
        SCOPED_TRACE(name);
        const int row = (n - 1) / 9 + 1;
        const int step = (n - 1) % 9;
        const int column = row == 1 ? step + 1 : 9 - step;
        auto* button = FindControl<QPushButton>(sector, name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(columnLefts[column - 1], 8 + 48 * (row - 1), 90, 40));
        const Sector& s = SectorTable()[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(s.row, row);
        EXPECT_EQ(s.column, column);
        EXPECT_EQ(button->text(),
                  QString::fromUtf8(s.caption.data(), static_cast<qsizetype>(s.caption.size())));
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_EQ(FindControl<QPushButton>(sector, "按钮53")->text(), Q("央视5_"));
    EXPECT_EQ(FindControl<QPushButton>(sector, "按钮108")->geometry().topLeft(), QPoint(10, 536));
}

TEST_F(WindowDesignTest, ChartWindowIsAModalDialogOfTheMainWindow) {
    bool checked = false;
    Routines().chartWindowCreated = [&] {
        Window chart = ChartWindow();
        QWidget* w = chart.widget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), Q("走势图"));
        EXPECT_EQ(w->frameGeometry(), QRect(50, 50, 1433, 591)) << "place and outer size";
        EXPECT_EQ(w->parentWidget(), MainWindow().widget());
        EXPECT_TRUE(w->isModal());
        ExpectControls(chart, std::begin(ChartControlsExpected), std::end(ChartControlsExpected));
        EXPECT_EQ(CountNamedControls(w), std::size(ChartControlsExpected));
        auto* panel = FindControl<DrawPanelWidget>(chart, "画板1");
        EXPECT_EQ(panel->canvas().size(), QSize(632, 328));
        checked = true;
        chart.Close();
    };
    OpenChartWindowModal();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(ChartWindow().Exists());
}

} // namespace
} // namespace fundlens::test
