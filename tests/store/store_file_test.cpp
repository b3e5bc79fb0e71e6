// The store's file: where it lives, when it is made and with which modes, damaged files kept
// exactly as they were, files of a newer build read only, old files migrated, and a second
// connection waiting for the first.
#include "store/data_dir.h"
#include "store/schema.h"
#include "store/set_aside.h"
#include "store/watchlist_store.h"
#include "store_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fundlens {
namespace {

using testing::FileExists;
using testing::ModeOf;
using testing::RawExec;
using testing::RawInt;
using testing::RawText;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Sets an environment variable (or removes it, for nullopt) for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

bool Contains(const Text& gbk, const std::string& utf8) {
    return TextToUtf8(gbk).find(utf8) != std::string::npos;
}

TEST(DataDirTest, XdgDataHomeWhenAbsoluteElseTheHomeFolder) {
    const struct {
        const char* name;
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string expected;
    } cases[] = {
        {"XDG_DATA_HOME", "/data/me", "/home/me", "/data/me/fundlens"},
        {"XDG_DATA_HOME unset", std::nullopt, "/home/me", "/home/me/.local/share/fundlens"},
        {"XDG_DATA_HOME empty", "", "/home/me", "/home/me/.local/share/fundlens"},
        {"XDG_DATA_HOME relative", "data", "/home/me", "/home/me/.local/share/fundlens"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(DefaultDataDir(), c.expected);
    }
    EXPECT_EQ(WatchlistPath("/d"), "/d/watchlist.db");
    EXPECT_EQ(WatchlistPath("/d/"), "/d/watchlist.db");
}

TEST(StoreFileTest, NothingIsMadeBeforeTheFirstAdd) {
    TempDir tmp;
    const std::string dir = tmp / "a/b";
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    EXPECT_EQ(store.State(), StoreState::Absent);
    EXPECT_TRUE(store.Message().empty());
    const StoreRows<WatchedFund> funds = store.Funds();
    EXPECT_TRUE(funds.ok);
    EXPECT_TRUE(funds.rows.empty());
    EXPECT_TRUE(store.Transactions("000001").ok);
    EXPECT_TRUE(store.Estimates("000001", 10).ok);
    // Changes that add no fund, and a refused add, make nothing either.
    EXPECT_FALSE(store.RenameFund("000001", "x"));
    EXPECT_FALSE(store.SetPosition("000001", "2024-03-15", 100, 120));
    EXPECT_FALSE(store.RecordEstimate("000001", "2024-03-15", 1.2, 80));
    EXPECT_FALSE(store.DeleteTransaction(1));
    EXPECT_TRUE(store.RemoveFund("000001"));
    EXPECT_FALSE(store.AddFund("12345", "x"));
    EXPECT_FALSE(FileExists(tmp / "a"));
}

TEST(StoreFileTest, TheFirstAddMakesThePrivateFolderAndFile) {
    TempDir tmp;
    const mode_t oldMask = ::umask(022); // a usual umask would give 0644 and 0755
    const std::string dir = tmp / "share/fundlens";
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    ASSERT_TRUE(store.AddFund("000001", "华夏成长"_gbk)) << TextToUtf8(store.Message());
    ::umask(oldMask);
    EXPECT_EQ(store.State(), StoreState::Created);
    EXPECT_EQ(store.FilePath(), dir + "/watchlist.db");
    EXPECT_EQ(ModeOf(tmp / "share"), 0700);
    EXPECT_EQ(ModeOf(dir), 0700);
    EXPECT_EQ(ModeOf(dir + "/watchlist.db"), 0600);
    EXPECT_EQ(ModeOf(dir + "/watchlist.db-wal"), 0600); // present while the store is open
    EXPECT_EQ(ModeOf(dir + "/watchlist.db-shm"), 0600);
    EXPECT_EQ(RawInt(dir + "/watchlist.db", "PRAGMA user_version"), CurrentSchemaVersion());
    ASSERT_EQ(store.Funds().rows.size(), 1u);

    WatchlistStore again = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    EXPECT_EQ(again.State(), StoreState::Opened);
    EXPECT_EQ(RawText(dir + "/watchlist.db", "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(again.Funds().rows.size(), 1u);
}

TEST(StoreFileTest, AnEmptyFileLeftByAnInterruptedCreationIsSetUp) {
    TempDir tmp;
    WriteBytes(tmp / "watchlist.db", "");
    WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::ExistingOnly);
    EXPECT_EQ(store.State(), StoreState::Created);
    EXPECT_TRUE(store.AddFund("000001", ""));
}

TEST(StoreFileTest, AFileThatCannotBeMadeIsAFailureNamingTheFolder) {
    TempDir tmp;
    WriteBytes(tmp / "plain", "not a folder");
    WatchlistStore store = WatchlistStore::Open(tmp / "plain/sub", OpenMode::CreateIfMissing);
    EXPECT_EQ(store.State(), StoreState::Failed);
    EXPECT_TRUE(Contains(store.Message(), tmp / "plain/sub")) << TextToUtf8(store.Message());
    EXPECT_FALSE(store.AddFund("000001", ""));

    for (OpenMode mode : {OpenMode::ExistingOnly, OpenMode::CreateIfMissing}) {
        WatchlistStore nowhere = WatchlistStore::Open("", mode); // no home folder found
        EXPECT_EQ(nowhere.State(), StoreState::Failed);
        EXPECT_TRUE(Contains(nowhere.Message(), "--data-dir")) << TextToUtf8(nowhere.Message());
        EXPECT_FALSE(nowhere.AddFund("000001", ""));
    }
    EXPECT_FALSE(FileExists("watchlist.db"));

    ASSERT_EQ(::mkdir((tmp / "watchlist.db").c_str(), 0700), 0);
    WatchlistStore folder = WatchlistStore::Open(tmp.Path(), OpenMode::ExistingOnly);
    EXPECT_EQ(folder.State(), StoreState::Failed);
    EXPECT_TRUE(Contains(folder.Message(), tmp / "watchlist.db"));
    EXPECT_FALSE(folder.Funds().ok);
}

// A real store file of many pages.
void MakeLargeStore(const std::string& dir) {
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::CreateIfMissing);
    std::vector<ImportRow> rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back({i + 2, std::to_string(100000 + i), 1.0 + i, 2.0 + i});
    ASSERT_TRUE(store.ImportPositions(rows, "2024-03-15"));
}

struct DamagedCase {
    const char* name;
    void (*make)(const std::string& dir);
    const char* words; // part of the message
};

const DamagedCase DamagedCases[] = {
    {"random bytes",
     [](const std::string& dir) {
         std::string bytes(8192, '\0');
         unsigned state = 12345;
         for (char& b : bytes)
             b = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
         WriteBytes(dir + "/watchlist.db", bytes);
     },
     "已损坏"},
    {"a text file",
     [](const std::string& dir) {
         WriteBytes(dir + "/watchlist.db", "基金代码,持有份额,持仓成本\n000001,100,120\n");
     },
     "已损坏"},
    {"a header and nothing else",
     [](const std::string& dir) {
         WriteBytes(dir + "/watchlist.db",
                    std::string("SQLite format 3\0", 16) + std::string(200, '\x7f'));
     },
     "已损坏"},
    {"a truncated store",
     [](const std::string& dir) {
         MakeLargeStore(dir);
         const std::string bytes = ReadBytes(dir + "/watchlist.db");
         ASSERT_GT(bytes.size(), 40000u);
         WriteBytes(dir + "/watchlist.db", bytes.substr(0, bytes.size() / 2));
     },
     "已损坏"},
    {"another program's database",
     [](const std::string& dir) {
         RawExec(dir + "/watchlist.db",
                 "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('x')");
     },
     "不是自选基金数据文件"},
};

TEST(DamagedFileTest, IsReportedAndKeptByteForByte) {
    for (const DamagedCase& c : DamagedCases) {
        for (OpenMode mode : {OpenMode::ExistingOnly, OpenMode::CreateIfMissing}) {
            SCOPED_TRACE(std::string(c.name) +
                         (mode == OpenMode::ExistingOnly ? ", existing only" : ", create"));
            TempDir tmp;
            c.make(tmp.Path());
            const std::string path = tmp / "watchlist.db";
            const std::string before = ReadBytes(path);
            {
                WatchlistStore store = WatchlistStore::Open(tmp.Path(), mode);
                EXPECT_EQ(store.State(), StoreState::Damaged);
                EXPECT_TRUE(Contains(store.Message(), c.words)) << TextToUtf8(store.Message());
                EXPECT_TRUE(Contains(store.Message(), path));
                EXPECT_FALSE(store.Funds().ok);
                const StoreResult add = store.AddFund("000001", "");
                EXPECT_FALSE(add);
                EXPECT_EQ(add.message, store.Message());
                EXPECT_FALSE(store.ImportPositions({{2, "000001", 1, 1}}, "2024-03-15"));
            }
            EXPECT_EQ(ReadBytes(path), before);
            EXPECT_FALSE(FileExists(path + "-journal"));
        }
    }
}

TEST(SetAsideTest, MovesTheFileAndItsCompanionsToANameNotTaken) {
    ScopedEnv tz("TZ", "UTC");
    ::tzset();
    const std::time_t when = 1710495000; // 2024-03-15 09:30:00 UTC
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    const std::string stem = path + ".damaged-20240315-093000";
    WriteBytes(path, "damaged main");
    WriteBytes(path + "-wal", "damaged wal");
    WriteBytes(path + "-shm", "damaged shm");
    WriteBytes(stem, "an earlier one");     // the first name is taken,
    WriteBytes(stem + "-2-shm", "earlier"); // and the second one's companion name
    const AsideResult aside = SetAside(path, when);
    ASSERT_TRUE(aside.message.empty()) << TextToUtf8(aside.message);
    EXPECT_EQ(aside.newPath, stem + "-3");
    EXPECT_EQ(ReadBytes(stem + "-3"), "damaged main");
    EXPECT_EQ(ReadBytes(stem + "-3-wal"), "damaged wal");
    EXPECT_EQ(ReadBytes(stem + "-3-shm"), "damaged shm");
    EXPECT_EQ(ReadBytes(stem), "an earlier one");
    EXPECT_EQ(ReadBytes(stem + "-2-shm"), "earlier");
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(path + "-wal"));

    WatchlistStore fresh = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
    EXPECT_EQ(fresh.State(), StoreState::Created);
    EXPECT_TRUE(fresh.AddFund("000001", ""));
    EXPECT_EQ(ReadBytes(stem + "-3"), "damaged main");

    EXPECT_FALSE(SetAside(tmp / "missing.db", when).message.empty());
}

TEST(SetAsideTest, ADamagedStoreIsSetAsideWholeAndANewOneStartsEmpty) {
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    DamagedCases[3].make(tmp.Path()); // truncated
    const std::string before = ReadBytes(path);
    WatchlistStore damaged = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
    ASSERT_EQ(damaged.State(), StoreState::Damaged);
    const AsideResult aside = SetAside(path);
    ASSERT_TRUE(aside.message.empty()) << TextToUtf8(aside.message);
    damaged = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
    EXPECT_EQ(damaged.State(), StoreState::Created);
    EXPECT_TRUE(damaged.Funds().rows.empty());
    EXPECT_EQ(ReadBytes(aside.newPath), before);
}

TEST(SetAsideTest, ALogLeftByADeletedFileIsKeptAsideAndTheNewFileStartsEmpty) {
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    std::string wal;
    {
        WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
        ASSERT_TRUE(store.AddFund("000001", "old"));
        wal = ReadBytes(path + "-wal"); // committed, not yet copied into the file
    }
    ASSERT_FALSE(wal.empty());
    ASSERT_EQ(::unlink(path.c_str()), 0); // the user deletes the file by hand
    WriteBytes(path + "-wal", wal);
    WatchlistStore fresh = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
    ASSERT_EQ(fresh.State(), StoreState::Created) << TextToUtf8(fresh.Message());
    EXPECT_TRUE(fresh.Funds().rows.empty());
    EXPECT_NE(ReadBytes(path + "-wal"), wal);
    EXPECT_TRUE(fresh.AddFund("000002", "new"));
    ASSERT_EQ(fresh.Funds().rows.size(), 1u);
    bool kept = false;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.Path())) {
        const std::string name = entry.path().filename();
        if (name.starts_with("watchlist.db.orphaned-") && name.ends_with("-wal"))
            kept = ReadBytes(entry.path()) == wal;
    }
    EXPECT_TRUE(kept);
}

TEST(NewerFileTest, OpensReadOnlyAndRefusesEveryChange) {
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    long long transactionId = 0;
    {
        WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
        ASSERT_TRUE(store.AddFund("000001", "基金甲"_gbk));
        transactionId = store.SetPosition("000001", "2024-03-14", 100, 110).id;
    }
    const int newer = CurrentSchemaVersion() + 1;
    ASSERT_TRUE(RawExec(path, "PRAGMA user_version = " + std::to_string(newer)));
    const std::string before = ReadBytes(path);
    {
        WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
        ASSERT_EQ(store.State(), StoreState::ReadOnlyNewer);
        EXPECT_TRUE(Contains(store.Message(), "更新版本")) << TextToUtf8(store.Message());
        EXPECT_TRUE(Contains(store.Message(), path));
        EXPECT_FALSE(store.Writable());
        const auto funds = store.Funds();
        ASSERT_EQ(funds.rows.size(), 1u);
        EXPECT_EQ(funds.rows[0].name, "基金甲"_gbk);
        EXPECT_EQ(store.Transactions("000001").rows.size(), 1u);

        Transaction buy{0, "000001", TransactionKind::Buy, "2024-03-15", 1000, {}, 1.1, 0, 0};
        const StoreResult refusals[] = {
            store.AddFund("000002", ""),
            store.RenameFund("000001", "x"),
            store.RemoveFund("000001"),
            store.AddTransaction(buy),
            store.SetPosition("000001", "2024-03-15", 1, 1),
            store.DeleteTransaction(transactionId),
            store.RecordEstimate("000001", "2024-03-15", 1, 50),
            store.RecordConfirmed("000001", "2024-03-15", 1),
            store.ImportPositions({{2, "000003", 1, 1}}, "2024-03-15"),
        };
        for (const StoreResult& refused : refusals) {
            EXPECT_FALSE(refused);
            EXPECT_TRUE(Contains(refused.message, "只能查看")) << TextToUtf8(refused.message);
        }
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(RawInt(path, "PRAGMA user_version"), newer);
    EXPECT_EQ(RawInt(path, "SELECT count(*) FROM transactions"), 1);
}

// A file as the first build wrote it: the version 1 schema in the rollback-journal mode.
void MakeVersion1File(const std::string& path) {
    ASSERT_TRUE(RawExec(path, std::string(Migrations()[0].sql) +
                                  "INSERT INTO funds (code, name) VALUES ('000001', 'one');"
                                  "INSERT INTO transactions (code, kind, date, shares, cost) "
                                  "VALUES ('000001', 'adjust', '2024-01-02', 10, 12);"
                                  "PRAGMA user_version = 1;"));
}

TEST(MigrationTest, AVersion1FileOpensAtTheCurrentVersionWithItsData) {
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    MakeVersion1File(path);
    WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::ExistingOnly);
    ASSERT_EQ(store.State(), StoreState::Opened) << TextToUtf8(store.Message());
    ASSERT_EQ(store.Funds().rows.size(), 1u);
    EXPECT_EQ(store.Funds().rows[0].name, "one");
    ASSERT_EQ(store.Transactions("000001").rows.size(), 1u);
    EXPECT_EQ(store.Transactions("000001").rows[0].cost, 12);
    EXPECT_TRUE(store.AddFund("000002", ""));
    EXPECT_EQ(RawInt(path, "PRAGMA user_version"), CurrentSchemaVersion());
    EXPECT_TRUE(FileExists(path + "-wal")); // switched to the write-ahead log
}

// A raw connection for the migration steps themselves.
struct RawDb {
    explicit RawDb(const std::string& path) { sqlite3_open(path.c_str(), &db); }
    ~RawDb() { sqlite3_close(db); }
    sqlite3* db = nullptr;
};

TEST(MigrationTest, ALaterStepRunsOnceAndAFailingOneChangesNothing) {
    const Migration v1 = Migrations()[0];
    const Migration withNote[] = {v1, {2, "ALTER TABLE funds ADD COLUMN note TEXT DEFAULT ''"}};
    const Migration failing[] = {
        v1, {2, "ALTER TABLE funds ADD COLUMN note TEXT; ALTER TABLE nosuch ADD COLUMN x"}};
    TempDir tmp;
    const std::string path = tmp / "watchlist.db";
    MakeVersion1File(path);
    {
        RawDb raw(path);
        const MigrationResult failed = MigrateSchema(raw.db, failing);
        EXPECT_EQ(failed.outcome, MigrationOutcome::Failed);
        EXPECT_EQ(failed.code, SQLITE_ERROR);
    }
    EXPECT_EQ(RawInt(path, "PRAGMA user_version"), 1);
    EXPECT_EQ(RawInt(path, "SELECT count(*) FROM pragma_table_info('funds') WHERE name = 'note'"),
              0);
    {
        RawDb raw(path);
        const MigrationResult migrated = MigrateSchema(raw.db, withNote);
        EXPECT_EQ(migrated.outcome, MigrationOutcome::Migrated);
        EXPECT_EQ(migrated.fromVersion, 1);
        EXPECT_EQ(MigrateSchema(raw.db, withNote).outcome, MigrationOutcome::UpToDate);
        EXPECT_EQ(MigrateSchema(raw.db, std::span(withNote, 1)).outcome, MigrationOutcome::Newer);
    }
    EXPECT_EQ(RawInt(path, "PRAGMA user_version"), 2);
    EXPECT_EQ(RawInt(path, "SELECT count(*) FROM funds WHERE note = ''"), 1);

    const std::string other = tmp / "other.db";
    RawExec(other, "CREATE TABLE notes (t TEXT)");
    RawDb foreign(other);
    EXPECT_EQ(MigrateSchema(foreign.db).outcome, MigrationOutcome::Foreign);
}

TEST(TwoConnectionsTest, AWriteWaitsForTheOtherConnectionsTransaction) {
    TempDir tmp;
    WatchlistStore first = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
    WatchlistStore second = WatchlistStore::Open(tmp.Path(), OpenMode::ExistingOnly);
    ASSERT_EQ(second.State(), StoreState::Opened);
    std::vector<ImportRow> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({i + 2, "1000" + std::to_string(10 + i), 1, 1});
    std::atomic<bool> holding = false;
    StoreResult imported;
    std::thread holder([&] {
        imported = first.ImportPositions(rows, "2024-03-15", [&](std::size_t, std::size_t) {
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25)); // holds it ~0.5 s
        });
    });
    while (!holding)
        std::this_thread::yield();
    const StoreResult added = second.AddFund("000001", "");
    holder.join();
    EXPECT_TRUE(imported) << TextToUtf8(imported.message);
    EXPECT_TRUE(added) << TextToUtf8(added.message);
    const auto funds = second.Funds().rows;
    ASSERT_EQ(funds.size(), 21u);
    EXPECT_EQ(funds.back().code, "000001"); // written after the import's commit
}

} // namespace
} // namespace fundlens
