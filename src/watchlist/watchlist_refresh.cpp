#include "watchlist/watchlist_refresh.h"

#include "portal/profile.h"
#include "portal/watchlist_answers.h"
#include "runs/runs.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "watchlist/watchlist_state.h"
#include "watchlist/watchlist_status.h"

#include <functional>

namespace fundlens {

namespace {

// Main pages and archives at once; the quote batches at once beside them.
constexpr int PagesAtOnce = 10;
constexpr int QuotesAtOnce = 8;
// Reads of the store repeated while the window changes it meanwhile.
constexpr int StoreReadAttempts = 3;

// A fund's main page or its archive.
struct PageAnswer {
    MainPageAnswer page;
    ArchiveAnswer archive;
};
using PageJob = std::function<PageAnswer(const Cancellation&)>;
using QuoteJob = std::function<QuoteAnswer(const Cancellation&)>;

// The archives first (the quotes wait for them), then the main pages.
std::vector<PageJob> PageJobs(const std::vector<Text>& codes) {
    std::vector<PageJob> jobs;
    for (const Text& code : codes)
        jobs.push_back([code](const Cancellation& cancel) {
            return PageAnswer{{}, FetchArchive(code, &cancel)};
        });
    for (const Text& code : codes)
        jobs.push_back([code](const Cancellation& cancel) {
            return PageAnswer{FetchMainPage(code, &cancel), {}};
        });
    return jobs;
}

std::vector<QuoteJob> QuoteJobs(const std::vector<Text>& batches) {
    std::vector<QuoteJob> jobs;
    for (const Text& batch : batches)
        jobs.push_back([batch](const Cancellation& cancel) { return FetchQuotes(batch, &cancel); });
    return jobs;
}

StatusFacts FactsOf(const WatchlistState& state, const ChinaTime& now) {
    StatusFacts facts;
    facts.now = now;
    facts.funds = static_cast<int>(state.funds.size());
    facts.refreshing = state.refreshing;
    facts.lastRefresh = state.lastRefresh;
    facts.staleFunds = StaleFunds(state);
    facts.storeProblem = state.storeProblem;
    facts.readOnly = state.store.State() == StoreState::ReadOnlyNewer;
    facts.refreshSeconds = CurrentPortalProfile().watchlistRefreshSeconds;
    return facts;
}

void StoreRead(WatchlistState& state, StoredWatchlist stored) {
    state.storeProblem = stored.ok ? Text() : stored.message;
    if (!stored.ok)
        return;
    MergeStored(state.funds, std::move(stored.funds));
    state.storeRead = true;
}

// What the records written mean for the rows: the days are known, the names the store's.
void RecordsWritten(WatchlistState& state, const RefreshRecords& records) {
    AddRecords(state.funds, records.days);
    for (const WatchedFund& named : records.names) {
        if (FundState* fund = FindFund(state.funds, named.code))
            fund->storeName = named.name;
    }
}

bool MayRecord(const WatchlistState& state) {
    return state.storeRead && state.store.State() != StoreState::ReadOnlyNewer &&
           state.store.State() != StoreState::Damaged;
}

} // namespace

void ShowWatchlistNow() {
    const WatchlistState& state = Watchlist();
    const ChinaTime now = CurrentChinaTime();
    WatchlistView view = ViewOf(SnapshotsOf(state.funds), now);
    const StatusFacts facts = FactsOf(state, now);
    view.status = WatchlistStatus(facts);
    view.statusTip = WatchlistStatusTip(facts);
    State().Views.watchlist = std::move(view);
    ShowWatchlist();
}

bool WatchlistRefreshRunning() {
    return IsRunning(RunName::WatchlistRefresh);
}

Loader RefreshWatchlist(RefreshKind kind) {
    QWidget* window = WatchlistWindow().widget();
    if (window == nullptr)
        co_return;
    WatchlistState& state = Watchlist();
    const RunToken run = StartRun(RunName::WatchlistRefresh, window, 0,
                                  [](RunEnd) { Watchlist().refreshing = false; });
    state.refreshing = true;
    const std::string dataDir = WatchlistDataDir();
    if (kind == RefreshKind::Full || !state.storeRead) {
        WantAllPages(state.funds);
        state.pagesDay = CurrentChinaTime().day;
        ShowWatchlistNow();
        for (int attempt = 1; attempt <= StoreReadAttempts; ++attempt) {
            const int generation = state.generation;
            Pending<StoredWatchlist> read = OnPool(
                run, [dataDir](const Cancellation&) { return ReadStoredWatchlist(dataDir); });
            StoredWatchlist stored = co_await read;
            if (generation == state.generation || attempt == StoreReadAttempts) {
                StoreRead(state, std::move(stored));
                break;
            }
        }
        if (!state.storeRead) {
            run.Finish();
            ShowWatchlistNow();
            co_return;
        }
    }
    ShowWatchlistNow();

    const std::vector<Text> codes = CodesWantingPages(state.funds);
    std::vector<Pending<PageAnswer>> pages =
        OnPoolInOrder<PageAnswer>(run, PageJobs(codes), PagesAtOnce);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        Pending<PageAnswer>& pending = pages[i];
        const PageAnswer answer = co_await pending;
        if (FundState* fund = FindFund(state.funds, codes[i]))
            ApplyArchive(*fund, answer.archive);
    }
    // The quotes go out while the main pages are still coming.
    const std::vector<Text> batches = QuoteBatches(StockIdLists(state.funds));
    std::vector<Pending<QuoteAnswer>> quotes =
        OnPoolInOrder<QuoteAnswer>(run, QuoteJobs(batches), QuotesAtOnce);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        Pending<PageAnswer>& pending = pages[codes.size() + i];
        PageAnswer answer = co_await pending;
        if (FundState* fund = FindFund(state.funds, codes[i]))
            ApplyMainPage(*fund, std::move(answer.page));
    }
    std::vector<bool> batchOk;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        Pending<QuoteAnswer>& pending = quotes[i];
        const QuoteAnswer answer = co_await pending;
        ApplyQuoteBatch(state.quotes, batches[i], answer);
        batchOk.push_back(answer.readable);
    }
    const Text time = ClockTextNow();
    SettleQuotes(state.funds, state.quotes, batches, batchOk, time);
    SettleUpdated(state.funds, time);
    state.lastRefresh = time;
    state.refreshing = false;
    ShowWatchlistNow();

    const RefreshRecords records = RecordsOf(state.funds, CurrentChinaTime());
    if (!records.Empty() && MayRecord(state)) {
        Pending<StoreResult> write = OnPool(run, [dataDir, records](const Cancellation&) {
            return WriteRefreshRecords(dataDir, records);
        });
        const StoreResult written = co_await write;
        if (written.ok)
            RecordsWritten(state, records);
    }
    run.Finish();
}

} // namespace fundlens
