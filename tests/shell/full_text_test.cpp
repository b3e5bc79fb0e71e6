// Full texts: a grid cell or a label that cuts its text shows the whole text as its tooltip, only
// while it is cut; the risk grids keep their explanation.
#include "portal/fund_risk.h"
#include "shell/controls.h"
#include "shell/full_text.h"
#include "shell/grid_widget.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollBar>
#include <QToolTip>

namespace fundlens::test {
namespace {

// The tooltip shown when the mouse rests at `at` over `target`; empty when none is shown.
QString TipAt(QWidget* target, QPoint at) {
    QToolTip::hideText();
    WaitUntil([] { return !QToolTip::isVisible(); }, 2000);
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &help);
    ProcessEvents();
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The tooltip of a grid cell (row 1 the first under the header).
QString CellTip(GridWidget* grid, int row, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
    return TipAt(grid->viewport(), cell.center());
}

QString LabelTip(QWidget* label) {
    return TipAt(label, label->rect().center());
}

const QString LongName = QString::fromUtf8("华夏中证新能源汽车交易型开放式指数证券投资基金联接A");
const QString ShortName = QString::fromUtf8("华夏成长");

TEST(FullTextRules, ElidedWhenTheAdvanceIsWiderThanTheRoom) {
    const QFontMetrics metrics(QApplication::font());
    const int advance = metrics.horizontalAdvance(LongName);
    EXPECT_FALSE(TextIsElided(metrics, LongName, advance));
    EXPECT_TRUE(TextIsElided(metrics, LongName, advance - 1));
    EXPECT_FALSE(TextIsElided(metrics, QString(), 0));
}

TEST(FullTextRules, ClippedWhenInkRunsPastTheRoomOrLinesPastItsHeight) {
    const QFontMetrics metrics(QApplication::font());
    const QString caption = QString::fromUtf8("基金名称："); // the colon's right half is blank
    const int ink = metrics.boundingRect(caption).right() + 1;
    const int advance = metrics.horizontalAdvance(caption);
    ASSERT_LT(ink, advance) << "the font leaves the colon's right side blank";
    const int line = metrics.height();
    const struct {
        const char* name;
        QString text;
        QSize room;
        bool clipped;
    } cases[] = {
        {"fits", caption, QSize(advance, line), false},
        {"only the blank runs past", caption, QSize(ink, line), false},
        {"the ink runs past", caption, QSize(ink - 1, line), true},
        {"too low for one line", caption, QSize(advance, line - 1), true},
        {"two lines in the height of one", caption + "\n" + caption, QSize(advance, line), true},
        {"two lines with room", caption + "\n" + caption,
         QSize(advance, metrics.lineSpacing() + line), false},
        {"a second line too wide", caption + "\n" + LongName,
         QSize(advance, 2 * metrics.lineSpacing() + line), true},
        {"empty", QString(), QSize(0, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextIsClipped(metrics, c.text, c.room), c.clipped) << c.name;
}

class FullTextTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(); // the real routines: the risk grids' explanation
    }
    GridWidget* GridNamed(const char* name) { return FindControl<GridWidget>(MainWindow(), name); }
};

TEST_F(FullTextTest, AFundNameCutInTheNameColumnShowsWholeAsItsTooltip) {
    ShowListRow(1, {FromQString(LongName), "000001"});
    ShowListRow(2, {FromQString(ShortName), "000002"});
    GridWidget* list = GridNamed("高级表格1");
    EXPECT_TRUE(list->CellTextCut(1, 0));
    EXPECT_EQ(CellTip(list, 1, 0), LongName);
    EXPECT_FALSE(list->CellTextCut(2, 0));
    EXPECT_EQ(CellTip(list, 2, 0), QString()) << "a name that fits has no tooltip";
    EXPECT_EQ(CellTip(list, 1, 1), QString());
    EXPECT_EQ(CellTip(list, 3, 0), QString()) << "an empty cell has none";
}

TEST_F(FullTextTest, TheCutIsDecidedByTheWidthTheCellHasNow) {
    ShowListRow(1, {FromQString(ShortName), "000001"});
    GridWidget* list = GridNamed("高级表格1");
    ASSERT_EQ(CellTip(list, 1, 1), QString());
    list->horizontalHeader()->resizeSection(1, 24); // the user narrows the code column
    EXPECT_EQ(CellTip(list, 1, 1), QStringLiteral("000001"));
    // Wide enough for its text, but running past the grid's visible part: cut as well.
    list->horizontalHeader()->resizeSection(1, 60);
    list->horizontalHeader()->resizeSection(0, list->viewport()->width() - 30);
    ProcessEvents();
    ASSERT_EQ(list->horizontalScrollBar()->value(), 0);
    EXPECT_TRUE(list->CellTextCut(1, 1));
    EXPECT_EQ(CellTip(list, 1, 1), QStringLiteral("000001"));
}

TEST_F(FullTextTest, AMarkupLookingCellIsShownAsTyped) {
    const Text figure = "<b>12.34%</b> " + FromQString(LongName);
    ShowListRow(1, {figure});
    const QString tip = CellTip(GridNamed("高级表格1"), 1, 0);
    EXPECT_TRUE(tip.contains(QStringLiteral("&lt;b&gt;12.34%&lt;/b&gt;"))) << tip.toStdString();
}

TEST_F(FullTextTest, TheRiskGridsKeepTheirExplanationAndShowNoCellTip) {
    for (const char* name : {"高级表格3", "高级表格4"}) {
        SCOPED_TRACE(name);
        GridWidget* risk = GridNamed(name);
        Grid(risk).SetCellText(1, 1, FromQString(LongName)); // cut in its 66 pixels
        ASSERT_TRUE(risk->CellTextCut(1, 1));
        const QRect cell = risk->visualRect(risk->model()->index(0, 1));
        MoveMouse(risk, risk->viewport()->mapTo(risk, cell.center())); // sets the explanation
        ASSERT_FALSE(risk->toolTip().isEmpty());
        EXPECT_EQ(CellTip(risk, 1, 1), risk->toolTip());
        EXPECT_TRUE(risk->toolTip().contains(QString::fromUtf8("夏普比率")));
    }
    // The holdings grids are no risk grids: their cut cells show their texts.
    GridWidget* holdings = GridNamed("高级表格5");
    Grid(holdings).SetCellText(1, 2, FromQString(LongName));
    EXPECT_EQ(CellTip(holdings, 1, 2), LongName);
}

TEST_F(FullTextTest, ALabelThatCutsItsTextShowsItWhole) {
    Label name = MainWindow().LabelNamed("标签19"); // 208 pixels
    QWidget* label = name.widget();
    name.SetCaption(FromQString(LongName));
    EXPECT_EQ(LabelTip(label), LongName);
    name.SetCaption(FromQString(ShortName));
    EXPECT_EQ(LabelTip(label), QString());
    // The designed captions fit their 56 pixels (only the colon's blank half runs past).
    for (const char* caption : {"标签20", "标签1", "标签2", "标签3", "标签4", "标签5"})
        EXPECT_EQ(LabelTip(FindControl(MainWindow(), caption)), QString()) << caption;
    // A tooltip given to the label is shown instead.
    name.SetCaption(FromQString(LongName));
    name.SetToolTip("说明"_gbk);
    EXPECT_EQ(LabelTip(label), QString::fromUtf8("说明"));
}

TEST_F(FullTextTest, EveryDesignedLabelIsAFullTextLabelOfPlainText) {
    for (QLabel* label : MainWindow().widget()->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            continue;
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_NE(qobject_cast<FullTextLabel*>(label), nullptr);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
}

} // namespace
} // namespace fundlens::test
