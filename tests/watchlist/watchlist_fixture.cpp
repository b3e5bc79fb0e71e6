#include "watchlist_fixture.h"

#include "analysis/trading_clock.h"
#include "detail/fund_detail.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "watchlist/watchlist_refresh.h"
#include "watchlist/watchlist_state.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fundlens::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static int made = 0;
    m_path = (fs::temp_directory_path() /
              ("fundlens_watchlist_" + std::to_string(::getpid()) + "_" + std::to_string(++made)))
                 .string();
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void WatchlistTest::StartAt(const char* now, demo::PortalOptions options) {
    InstallSeams();
    const std::optional<ChinaTime> fixed = ReadChinaTime(now);
    ASSERT_TRUE(fixed.has_value());
    FixChinaTime(fixed);
    options.now = fixed;
    ASSERT_TRUE(StartPortal(options));
    SetWatchlistDataDir(dataDir.Path());
    StartMainWindow();
}

void WatchlistTest::TearDown() {
    ProgramFixture::TearDown();
    SetEntryDialogDriver({});
    ResetWatchlist();
    SetWatchlistDataDir("");
    FixChinaTime(std::nullopt);
}

const demo::Fund& WatchlistTest::FundWhere(const std::function<bool(const demo::Fund&)>& pick,
                                           int skip) {
    for (const demo::Fund& fund : Market().Funds()) {
        if (pick(fund) && skip-- == 0)
            return fund;
    }
    ADD_FAILURE() << "no such fund in the market";
    return Market().Funds().front();
}

const demo::Fund& WatchlistTest::EquityFund(int skip) {
    return FundWhere(
        [this](const demo::Fund& f) {
            if (f.holdings.size() < 10 || f.type == demo::FundType::Qdii)
                return false;
            for (const demo::Holding& h : f.holdings) {
                const demo::Stock& s = Market().Stocks()[static_cast<std::size_t>(h.stock)];
                if (s.InHongKong())
                    return false;
            }
            return true;
        },
        skip);
}

const demo::Fund& WatchlistTest::BondFund() {
    return FundWhere([](const demo::Fund& f) { return f.type == demo::FundType::Bond; });
}

bool WatchlistTest::Refreshed() {
    return WatchlistWindow().Exists() && !WatchlistRefreshRunning();
}

void WatchlistTest::AddFromList(const demo::Fund& fund, int row) {
    ShowListRow(row, {Utf8ToText(fund.name), fund.code});
    auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
    ClickCell(list, row, 0);
    WaitUntil([] { return !DetailLoadRunning(); });
    RightClickCell(list, row, 0);
    auto* menu = FindControl<QMenu>(MainWindow(), "菜单");
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    ClickMenuItem(menu, 1);
    ASSERT_TRUE(WaitUntil(Refreshed));
}

void WatchlistTest::OpenWindow() {
    Click(FindControl(MainWindow(), "自选基金钮"));
    ASSERT_TRUE(WaitUntil(Refreshed));
}

GridWidget* WatchlistTest::WatchGrid() {
    return FindControl<GridWidget>(WatchlistWindow(), WatchlistGridName);
}

Text WatchlistTest::Cell(int row, WatchlistColumn column) {
    return WatchlistWindow().GridNamed(WatchlistGridName).CellText(row, static_cast<int>(column));
}

Rgb WatchlistTest::CellColor(int row, WatchlistColumn column) {
    return WatchlistWindow().GridNamed(WatchlistGridName).CellColor(row, static_cast<int>(column));
}

Text WatchlistTest::CellTip(int row, WatchlistColumn column) {
    const QTableWidgetItem* item = WatchGrid()->item(row - 1, static_cast<int>(column));
    return item ? FromQString(item->toolTip()) : Text();
}

Text WatchlistTest::Status() {
    return WatchlistWindow().LabelNamed(WatchlistStatusName).Caption();
}

const WatchlistView& WatchlistTest::View() {
    return State().Views.watchlist;
}

void WatchlistTest::ChooseFromMenu(int row, int item) {
    RightClickCell(WatchGrid(), row, 0);
    auto* menu = FindControl<QMenu>(WatchlistWindow(), WatchlistMenuName);
    ASSERT_TRUE(menu != nullptr);
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    ClickMenuItem(menu, item);
    ProcessEvents();
}

void WatchlistTest::NextDialog(std::function<void(TransactionDialog&)> drive) {
    SetEntryDialogDriver([drive = std::move(drive)](TransactionDialog& dialog) {
        SetEntryDialogDriver({}); // one dialog
        drive(dialog);
    });
}

void WatchlistTest::Type(TransactionDialog& dialog, const char* field, const char* utf8) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromUtf8(field));
    ASSERT_TRUE(edit != nullptr) << field;
    edit->selectAll();
    Focus(edit);
    edit->clear();
    TypeText(edit, QString::fromUtf8(utf8));
}

void WatchlistTest::ClickOk(TransactionDialog& dialog) {
    Click(dialog.findChild<QPushButton*>(QString::fromUtf8(EntryOkName)));
}

void WatchlistTest::ClickCancel(TransactionDialog& dialog) {
    Click(dialog.findChild<QPushButton*>(QString::fromUtf8(EntryCancelName)));
}

Text WatchlistTest::ProblemShown(TransactionDialog& dialog) {
    auto* label = dialog.findChild<QLabel*>(QString::fromUtf8(EntryProblemName));
    return label ? FromQString(label->text()) : Text();
}

} // namespace fundlens::test
