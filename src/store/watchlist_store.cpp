#include "store/watchlist_store.h"

#include "store/data_dir.h"
#include "store/input_checks.h"
#include "store/sqlite_helpers.h"
#include "store/store_messages.h"

#include <utility>

namespace fundlens {

namespace {
using sqlite::Statement;
} // namespace

WatchlistStore WatchlistStore::Open(const std::string& dataDir, OpenMode mode) {
    return WatchlistStore(dataDir, OpenStoreFile(dataDir, mode));
}

WatchlistStore::WatchlistStore(std::string dataDir, OpenedFile opened)
    : m_dataDir(std::move(dataDir)), m_path(WatchlistPath(m_dataDir)) {
    Adopt(std::move(opened));
}

WatchlistStore::~WatchlistStore() {
    Close();
}

WatchlistStore::WatchlistStore(WatchlistStore&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_dataDir(std::move(other.m_dataDir)),
      m_path(std::move(other.m_path)), m_state(std::exchange(other.m_state, StoreState::Failed)),
      m_message(std::move(other.m_message)) {}

WatchlistStore& WatchlistStore::operator=(WatchlistStore&& other) noexcept {
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
        m_dataDir = std::move(other.m_dataDir);
        m_path = std::move(other.m_path);
        m_state = std::exchange(other.m_state, StoreState::Failed);
        m_message = std::move(other.m_message);
    }
    return *this;
}

void WatchlistStore::Adopt(OpenedFile opened) {
    Close();
    m_db = opened.db;
    m_state = opened.state;
    m_message = std::move(opened.message);
}

void WatchlistStore::Close() {
    if (!m_db)
        return;
    // A damaged file is left exactly as it is, its write-ahead log beside it.
    if (m_state == StoreState::Damaged)
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool WatchlistStore::Writable() const {
    return m_state == StoreState::Opened || m_state == StoreState::Created ||
           m_state == StoreState::Absent;
}

StoreResult WatchlistStore::Refused(Text message) {
    return {false, std::move(message), 0};
}

StoreResult WatchlistStore::Refusal() const {
    if (Writable())
        return {};
    if (m_state == StoreState::ReadOnlyNewer)
        return Refused(ReadOnlyRefusalMessage(m_path));
    return Refused(m_message.empty() ? OpenFailedMessage(m_path, {}) : m_message);
}

StoreResult WatchlistStore::MakeFileIfAbsent() {
    if (m_state == StoreState::Absent)
        Adopt(OpenStoreFile(m_dataDir, OpenMode::CreateIfMissing));
    return Refusal();
}

StoreResult WatchlistStore::Failure(int code) {
    switch (sqlite::Primary(code)) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        m_state = StoreState::Damaged; // InTransaction closes the connection
        m_message = DamagedMessage(m_path);
        return Refused(m_message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Refused(BusyMessage(m_path));
    case SQLITE_FULL:
        return Refused(DiskFullMessage(m_path));
    case SQLITE_READONLY:
        return Refused(NotWritableMessage(m_path));
    default:
        return Refused(WriteFailedMessage(m_path, sqlite3_errmsg(m_db)));
    }
}

StoreResult WatchlistStore::InTransaction(const std::function<StoreResult()>& body) {
    StoreResult result;
    {
        sqlite::WriteTransaction transaction(m_db);
        if (transaction.BeginCode() != SQLITE_OK) {
            result = Failure(transaction.BeginCode());
        } else if (result = body(); result.ok) {
            if (const int code = transaction.Commit(); code != SQLITE_OK)
                result = Failure(code);
        }
    } // rolled back here unless committed
    if (m_state == StoreState::Damaged)
        Close();
    return result;
}

StoreResult WatchlistStore::RequireFund(const Text& code) {
    Statement find(m_db, "SELECT 1 FROM funds WHERE code = ?1");
    find.Bind(1, code);
    const int step = find.Step();
    if (step == SQLITE_ROW)
        return {};
    return step == SQLITE_DONE ? Refused(FundNotWatchedMessage(code)) : Failure(step);
}

Text WatchlistStore::ReadRefusal() const {
    return m_message.empty() ? OpenFailedMessage(m_path, {}) : m_message;
}

Text WatchlistStore::ReadFailure(int code) const {
    switch (sqlite::Primary(code)) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return DamagedMessage(m_path);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return BusyMessage(m_path);
    default:
        return ReadFailedMessage(m_path, sqlite3_errmsg(m_db));
    }
}

// Funds.

StoreResult WatchlistStore::AddFund(const Text& code, const Text& name) {
    if (Text why = CheckFundCode(code); !why.empty())
        return Refused(why);
    if (StoreResult refused = MakeFileIfAbsent(); !refused)
        return refused;
    return InTransaction([&] {
        Statement upsert(m_db, "INSERT INTO funds (code, name) VALUES (?1, ?2) "
                               "ON CONFLICT (code) DO UPDATE SET name = excluded.name "
                               "WHERE funds.name = '' AND excluded.name <> ''");
        upsert.Bind(1, code);
        upsert.Bind(2, TextToUtf8(TrimBlanks(name)));
        const int step = upsert.Step();
        return step == SQLITE_DONE ? StoreResult{} : Failure(step);
    });
}

StoreResult WatchlistStore::RenameFund(const Text& code, const Text& name) {
    if (Text why = CheckFundCode(code); !why.empty())
        return Refused(why);
    if (StoreResult refused = Refusal(); !refused)
        return refused;
    if (m_state == StoreState::Absent)
        return Refused(FundNotWatchedMessage(code));
    return InTransaction([&] {
        Statement rename(m_db, "UPDATE funds SET name = ?2 WHERE code = ?1");
        rename.Bind(1, code);
        rename.Bind(2, TextToUtf8(TrimBlanks(name)));
        if (const int step = rename.Step(); step != SQLITE_DONE)
            return Failure(step);
        return sqlite3_changes(m_db) > 0 ? StoreResult{} : Refused(FundNotWatchedMessage(code));
    });
}

StoreResult WatchlistStore::RemoveFund(const Text& code) {
    if (Text why = CheckFundCode(code); !why.empty())
        return Refused(why);
    if (StoreResult refused = Refusal(); !refused || m_state == StoreState::Absent)
        return refused;
    return InTransaction([&] {
        for (const char* sql :
             {"DELETE FROM estimates WHERE code = ?1", "DELETE FROM transactions WHERE code = ?1",
              "DELETE FROM funds WHERE code = ?1"}) {
            Statement remove(m_db, sql);
            remove.Bind(1, code);
            if (const int step = remove.Step(); step != SQLITE_DONE)
                return Failure(step);
        }
        return StoreResult{};
    });
}

StoreRows<WatchedFund> WatchlistStore::Funds() const {
    if (m_state == StoreState::Absent)
        return {};
    if (!m_db)
        return {false, ReadRefusal(), {}};
    StoreRows<WatchedFund> funds;
    Statement list(m_db, "SELECT code, name FROM funds ORDER BY id");
    int step = SQLITE_ROW;
    while ((step = list.Step()) == SQLITE_ROW)
        funds.rows.push_back({list.TextAt(0), Utf8ToText(list.TextAt(1))});
    if (step != SQLITE_DONE)
        return {false, ReadFailure(step), {}};
    return funds;
}

} // namespace fundlens
