// The watchlist window driven as a user does, against the in-process demo portal on a fixed
// China-time clock, with the store in a fresh folder of its own.
#pragma once

#include "demo-portal/universe.h"
#include "shell/watchlist_dialog.h"
#include "shell/watchlist_view.h"
#include "support/gui_test.h"

#include <functional>
#include <string>

namespace fundlens::test {

// A new empty folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

class WatchlistTest : public ProgramFixture {
protected:
    // Wednesday 2026-12-09, 10:30 China time: the session is open.
    static constexpr const char* SessionMinute = "2026-12-09 10:30";

    void SetUp() override { StartAt(SessionMinute); }
    void TearDown() override;
    // The program and the demo portal on the clock fixed at `now`.
    void StartAt(const char* now, demo::PortalOptions options = {});

    const demo::Universe& Market() { return portal()->universe(); }
    // The first fund of the market that `pick` accepts, and the ones after it.
    const demo::Fund& FundWhere(const std::function<bool(const demo::Fund&)>& pick, int skip = 0);
    const demo::Fund& EquityFund(int skip = 0);
    const demo::Fund& BondFund();

    // As the user does: the fund shown in row `row` of the fund list, the cursor put on it, its
    // popup menu's "加入自选" chosen; then the window's refresh awaited.
    void AddFromList(const demo::Fund& fund, int row = 1);
    static bool Refreshed();
    void OpenWindow();

    // The watchlist's grid and its figures as drawn.
    GridWidget* WatchGrid();
    Text Cell(int row, WatchlistColumn column);
    Rgb CellColor(int row, WatchlistColumn column);
    Text CellTip(int row, WatchlistColumn column);
    Text Status();
    const WatchlistView& View();

    // The popup menu on the row, item `item` chosen.
    void ChooseFromMenu(int row, int item);
    // The dialog the next menu item opens: `fill` types into its fields (by name) and the
    // dialog's OK is clicked; `alsoCancel`: then cancelled when it stays open.
    void NextDialog(std::function<void(TransactionDialog&)> drive);
    static void Type(TransactionDialog& dialog, const char* field, const char* utf8);
    static void ClickOk(TransactionDialog& dialog);
    static void ClickCancel(TransactionDialog& dialog);
    static Text ProblemShown(TransactionDialog& dialog);

    ScratchDir dataDir;
    std::string StorePath() { return dataDir / "watchlist.db"; }
};

} // namespace fundlens::test
