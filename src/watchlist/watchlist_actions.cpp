#include "watchlist/watchlist_actions.h"

#include "analysis/trading_clock.h"
#include "runs/runs.h"
#include "shell/event_routines.h"
#include "shell/main_view.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/watchlist_dialog.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "watchlist/watchlist_entry.h"
#include "watchlist/watchlist_refresh.h"
#include "watchlist/watchlist_state.h"

namespace fundlens {

namespace {

constexpr int EntryDecimals = 2;

void Warn(const Text& message) {
    ShowMessage(message, MessageButtons::Ok, MessageIcon::Warning);
}

// The window opened; a window that opens now is refreshed whole.
void OpenWindow() {
    const bool opening = !WatchlistWindow().Exists();
    const Window window = OpenModelessWindow(WindowId::Watchlist, [] { return new WatchlistForm; });
    if (!opening || !window.Exists())
        return;
    ShowWatchlistNow();
    RefreshWatchlist(RefreshKind::Full);
}

// The fund's stored facts read again after a change the window made.
void ReadBack(const Text& code) {
    WatchlistState& state = Watchlist();
    ++state.generation;
    StoredFund stored{code, {}, {}, {}};
    for (const WatchedFund& fund : state.store.Funds().rows) {
        if (fund.code == code)
            stored.name = fund.name;
    }
    Text why;
    if (!ReadStoredFund(state.store, stored, why)) {
        Warn(why);
        return;
    }
    FundState* fund = FindFund(state.funds, code);
    if (fund == nullptr) {
        state.funds.emplace_back();
        fund = &state.funds.back();
    }
    UpdateStored(*fund, std::move(stored));
}

Text FundLabel(const FundState& fund) {
    return fund.snapshot.name + "（"_gbk + fund.snapshot.code + "）"_gbk;
}

Text TitleOf(EntryKind kind, const FundState& fund) {
    const char* verb = kind == EntryKind::Buy    ? "加仓"
                       : kind == EntryKind::Sell ? "减仓"
                                                 : "编辑持仓";
    return Utf8ToText(verb) + "："_gbk + FundLabel(fund);
}

TransactionEntry InitialEntry(EntryKind kind, const FundState& fund) {
    TransactionEntry entry;
    entry.date = TradeDateOf(CurrentChinaTime());
    if (fund.snapshot.page && FigureNumber(fund.snapshot.page->netValue))
        entry.nav = fund.snapshot.page->netValue;
    entry.fee = "0";
    if (kind == EntryKind::Position) {
        entry.shares = FixedText(fund.snapshot.position.shares, EntryDecimals);
        entry.cost = FixedText(fund.snapshot.position.cost, EntryDecimals);
    }
    return entry;
}

bool SameEntry(const TransactionEntry& a, const TransactionEntry& b) {
    return a.shares == b.shares && a.cost == b.cost;
}

// The dialog of `kind` for the fund; what it gives is checked again and stored.
void EnterTransaction(EntryKind kind, const Text& code) {
    WatchlistState& state = Watchlist();
    const FundState* fund = FindFund(state.funds, code);
    if (fund == nullptr || !OpenWindowStore())
        return;
    const StoreRows<Transaction> recorded = state.store.Transactions(code);
    if (!recorded.ok)
        return Warn(recorded.message);
    const Text today = TradeDateOf(CurrentChinaTime());
    EntryDialogSetup setup{kind, TitleOf(kind, *fund), InitialEntry(kind, *fund), {}};
    setup.problemOf = [kind, code, today, rows = recorded.rows](const TransactionEntry& entry) {
        return TransactionOfEntry(kind, code, entry, today, rows).problem;
    };
    const std::optional<TransactionEntry> entry = AskTransaction(setup);
    if (!entry || (kind == EntryKind::Position && SameEntry(*entry, setup.initial)))
        return;
    const EntryOutcome outcome = TransactionOfEntry(kind, code, *entry, today, recorded.rows);
    if (!outcome.transaction)
        return Warn(outcome.problem);
    if (const StoreResult stored = state.store.AddTransaction(*outcome.transaction); !stored)
        return Warn(stored.message);
    ReadBack(code);
    ShowWatchlistNow();
}

} // namespace

void OpenWatchlist() {
    OpenWindowStore(); // a store that cannot be used is reported; the window says so too
    OpenWindow();
}

void AddListFundToWatchlist() {
    const FundListRow* row = FundListMenuRow();
    if (row == nullptr) {
        ShowMessage("请选择要加入自选的基金"_gbk);
        return;
    }
    const Text code = (*row)[CodeColumn].text;
    const Text name = (*row)[NameColumn].text;
    if (!OpenWindowStore())
        return;
    WatchlistState& state = Watchlist();
    if (const StoreResult added = state.store.AddFund(code, name); !added)
        return Warn(added.message);
    ReadBack(code);
    if (!WatchlistWindow().Exists())
        return OpenWindow();
    WatchlistWindow().Show();
    ShowWatchlistNow();
    RefreshWatchlist(RefreshKind::Quotes); // the new fund's pages, and every quote
}

void BuyChosen(const Text& code) {
    EnterTransaction(EntryKind::Buy, code);
}

void SellChosen(const Text& code) {
    EnterTransaction(EntryKind::Sell, code);
}

void EditPositionChosen(const Text& code) {
    EnterTransaction(EntryKind::Position, code);
}

void RemoveChosen(const Text& code) {
    WatchlistState& state = Watchlist();
    const FundState* fund = FindFund(state.funds, code);
    if (fund == nullptr || !OpenWindowStore())
        return;
    const Text question =
        "要把 "_gbk + FundLabel(*fund) + " 从自选中删除吗？它的交易记录和估算记录会一并删除。"_gbk;
    if (ShowMessage(question, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes)
        return;
    if (const StoreResult removed = state.store.RemoveFund(code); !removed)
        return Warn(removed.message);
    ++state.generation;
    std::erase_if(state.funds, [&](const FundState& f) { return f.snapshot.code == code; });
    ShowWatchlistNow();
}

void AddWatchedFundToBasket(const Text& code) {
    const FundState* fund = FindFund(Watchlist().funds, code);
    if (fund != nullptr)
        Fire(Routines().basket.addFund, code, fund->snapshot.name);
}

void OpenWatchedFund(const Text& code) {
    const FundState* fund = FindFund(Watchlist().funds, code);
    if (fund == nullptr)
        return;
    Fire(Routines().watchlist.openFundInMain, code, fund->snapshot.name);
    MainWindow().Show();
}

void RefreshClicked() {
    RefreshWatchlist(RefreshKind::Full);
}

void RefreshTimerTicked() {
    const ChinaTime now = CurrentChinaTime();
    if (!IsSessionOpen(now) || WatchlistRefreshRunning())
        return;
    RefreshWatchlist(now.day != Watchlist().pagesDay ? RefreshKind::Full : RefreshKind::Quotes);
}

void WatchlistClosed() {
    EndRuns(RunEvent::WatchlistClosed);
}

} // namespace fundlens
