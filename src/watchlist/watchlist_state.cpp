#include "watchlist/watchlist_state.h"

#include "runs/runs.h"
#include "shell/messages.h"
#include "store/set_aside.h"
#include "store/store_messages.h"

#include <algorithm>

namespace fundlens {

namespace {

std::string& DataDir() {
    static std::string dir;
    return dir;
}

// The damaged file kept aside under a new name, and an empty store begun, when the user agrees.
bool OfferEmptyStore(WatchlistState& state) {
    const Text question =
        state.store.Message() + "\n\n要把这个文件改名留在原处，开始一个新的空自选列表吗？"_gbk;
    if (ShowMessage(question, MessageButtons::YesNo, MessageIcon::Warning) != MessageAnswer::Yes)
        return false;
    const std::string path = state.store.FilePath();
    EndRuns(RunEvent::WatchlistStoreReplaced);
    state.store = WatchlistStore(); // closed before the file moves
    const AsideResult aside = SetAside(path);
    if (!aside.message.empty()) {
        ShowMessage(aside.message, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    ShowMessage("损坏的文件已改名为 "_gbk + PathText(aside.newPath) +
                    "，原样保留。新的自选列表从空开始。"_gbk,
                MessageButtons::Ok, MessageIcon::Information);
    state.store = WatchlistStore::Open(DataDir(), OpenMode::ExistingOnly);
    state.funds.clear();
    state.storeRead = false;
    return state.store.State() == StoreState::Absent || state.store.Writable();
}

} // namespace

WatchlistState& Watchlist() {
    static WatchlistState state;
    return state;
}

void ResetWatchlist() {
    Watchlist() = WatchlistState{};
}

void SetWatchlistDataDir(std::string dir) {
    DataDir() = std::move(dir);
}

const std::string& WatchlistDataDir() {
    return DataDir();
}

bool OpenWindowStore() {
    WatchlistState& state = Watchlist();
    if (state.storeOpen)
        return true;
    state.store = WatchlistStore::Open(DataDir(), OpenMode::ExistingOnly);
    switch (state.store.State()) {
    case StoreState::Opened:
    case StoreState::Created:
    case StoreState::Absent:
        break;
    case StoreState::ReadOnlyNewer:
        ShowMessage(state.store.Message(), MessageButtons::Ok, MessageIcon::Warning);
        break;
    case StoreState::Damaged:
        if (!OfferEmptyStore(state))
            return false; // asked again next time
        break;
    case StoreState::Failed:
        ShowMessage(state.store.Message(), MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    state.storeOpen = true;
    return true;
}

int StaleFunds(const WatchlistState& state) {
    return static_cast<int>(std::count_if(state.funds.begin(), state.funds.end(),
                                          [](const FundState& f) { return f.snapshot.Stale(); }));
}

} // namespace fundlens
