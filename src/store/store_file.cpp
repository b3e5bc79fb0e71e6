#include "store/store_file.h"

#include "store/data_dir.h"
#include "store/schema.h"
#include "store/set_aside.h"
#include "store/sqlite_helpers.h"
#include "store/store_messages.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fundlens {

namespace {

constexpr mode_t StoreFileMode = 0600;
constexpr std::size_t HeaderSize = 100;
constexpr char SqliteMagic[] = "SQLite format 3"; // and its NUL: the first 16 bytes

OpenedFile Outcome(StoreState state, Text message = {}) {
    return {nullptr, state, std::move(message)};
}

OpenedFile Failed(Text message) {
    return Outcome(StoreState::Failed, std::move(message));
}

// What a failing SQLite call means for the file at `path`.
OpenedFile FromSqliteError(const std::string& path, sqlite3* db, int code) {
    switch (sqlite::Primary(code)) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return Outcome(StoreState::Damaged, DamagedMessage(path));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failed(BusyMessage(path));
    case SQLITE_FULL:
        return Failed(DiskFullMessage(path));
    default:
        return Failed(OpenFailedMessage(path, db ? sqlite3_errmsg(db) : sqlite3_errstr(code)));
    }
}

void Close(sqlite3*& db) {
    sqlite3_close_v2(db);
    db = nullptr;
}

// A connection with the busy timeout and the defensive settings; nullptr with `code` set when
// the file cannot be opened.
sqlite3* Connect(const std::string& path, int flags, int& code) {
    sqlite3* db = nullptr;
    code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    if (code != SQLITE_OK) {
        Close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite::Exec(db, "PRAGMA trusted_schema = OFF");
    return db;
}

// True when the file begins with an SQLite header; false also when it cannot be read (errno).
bool HasSqliteHeader(const std::string& path, bool& readable) {
    readable = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char header[HeaderSize];
    const ssize_t got = ::read(fd, header, sizeof header);
    const int error = errno;
    ::close(fd);
    errno = error;
    readable = got >= 0;
    return got == static_cast<ssize_t>(HeaderSize) &&
           std::memcmp(header, SqliteMagic, sizeof SqliteMagic) == 0;
}

// The checks PRAGMA quick_check makes: one row "ok" when the file is sound.
int QuickCheck(sqlite3* db, bool& sound) {
    sqlite::Statement check(db, "PRAGMA quick_check");
    int code = check.Step();
    sound = code == SQLITE_ROW && check.TextAt(0) == "ok";
    while (code == SQLITE_ROW)
        code = check.Step();
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

// True when the file holds tables (or the query fails: better left alone then).
bool HasTables(sqlite3* db) {
    int code = SQLITE_OK;
    const auto tables = sqlite::QueryInt(db, "SELECT count(*) FROM sqlite_schema", code);
    return !tables || *tables > 0;
}

// Reads a file that is there without writing to it: damaged, foreign, newer (the read-only
// connection is kept then), or fit to be opened for writing (state Opened, no connection).
OpenedFile Probe(const std::string& path) {
    int code = SQLITE_OK;
    sqlite3* db = Connect(path, SQLITE_OPEN_READONLY, code);
    if (!db)
        return FromSqliteError(path, nullptr, code);
    const std::optional<long long> version = sqlite::QueryInt(db, "PRAGMA user_version", code);
    bool sound = false;
    if (version)
        code = QuickCheck(db, sound);
    if (!version || code != SQLITE_OK) {
        OpenedFile failed = FromSqliteError(path, db, code);
        Close(db);
        return failed;
    }
    if (!sound) {
        Close(db);
        return Outcome(StoreState::Damaged, DamagedMessage(path));
    }
    if (*version > CurrentSchemaVersion())
        return {db, StoreState::ReadOnlyNewer, NewerVersionMessage(path)};
    const bool foreign = *version < 0 || (*version == 0 && HasTables(db));
    Close(db);
    if (foreign)
        return Outcome(StoreState::Damaged, ForeignFileMessage(path));
    return Outcome(StoreState::Opened);
}

// The connection's settings for writing: WAL, full sync, foreign keys.
int Configure(sqlite3* db) {
    int code = sqlite::Exec(db, "PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL");
    if (code != SQLITE_OK)
        return code;
    sqlite::Statement wal(db, "PRAGMA journal_mode = WAL");
    code = wal.Step();
    return code == SQLITE_ROW ? SQLITE_OK : code;
}

OpenedFile FromMigration(const std::string& path, sqlite3*& db, const MigrationResult& result) {
    switch (result.outcome) {
    case MigrationOutcome::UpToDate:
        return {db, StoreState::Opened, {}};
    case MigrationOutcome::Migrated:
        return {db, result.fromVersion == 0 ? StoreState::Created : StoreState::Opened, {}};
    case MigrationOutcome::Foreign:
        Close(db);
        return Outcome(StoreState::Damaged, ForeignFileMessage(path));
    case MigrationOutcome::Newer: // a newer build wrote it since the probe: read it only
        Close(db);
        return Probe(path);
    case MigrationOutcome::Failed:
        break;
    }
    OpenedFile failed = FromSqliteError(path, db, result.code);
    Close(db);
    return failed;
}

// Opens a file fit for writing, sets it up and brings its schema to the current version.
OpenedFile OpenForWriting(const std::string& path) {
    int code = SQLITE_OK;
    sqlite3* db = Connect(path, SQLITE_OPEN_READWRITE, code);
    if (!db)
        return FromSqliteError(path, nullptr, code);
    if (sqlite3_db_readonly(db, "main") == 1) {
        Close(db);
        return Failed(NotWritableMessage(path));
    }
    if (code = Configure(db); code != SQLITE_OK) {
        OpenedFile failed = FromSqliteError(path, db, code);
        Close(db);
        return failed;
    }
    return FromMigration(path, db, MigrateSchema(db));
}

OpenedFile OpenExisting(const std::string& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return Failed(OpenFailedMessage(path, "这不是一个普通文件"_gbk));
    if (st.st_size == 0) // made by us, the schema not yet written: nothing to lose
        return OpenForWriting(path);
    bool readable = false;
    if (!HasSqliteHeader(path, readable)) {
        if (!readable)
            return Failed(OpenFailedMessage(path, ErrnoText(errno)));
        return Outcome(StoreState::Damaged, DamagedMessage(path));
    }
    OpenedFile probed = Probe(path);
    if (probed.state != StoreState::Opened)
        return probed;
    return OpenForWriting(path);
}

// Makes the folder and an empty file of mode 0600, then opens it; a file another program made
// meanwhile is opened as it is.
OpenedFile CreateStoreFile(const std::string& dataDir, const std::string& path) {
    Text why;
    if (!MakeDataDir(dataDir, why))
        return Failed(why);
    if (const AsideResult leftovers = SetAsideLeftovers(path); !leftovers.message.empty())
        return Failed(leftovers.message);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, StoreFileMode);
    if (fd < 0 && errno != EEXIST)
        return Failed(OpenFailedMessage(path, ErrnoText(errno)));
    if (fd >= 0) {
        const bool moded = ::fchmod(fd, StoreFileMode) == 0; // whatever the umask left
        const int error = errno;
        ::close(fd);
        if (!moded)
            return Failed(OpenFailedMessage(path, ErrnoText(error)));
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return Failed(OpenFailedMessage(path, ErrnoText(errno)));
    return OpenExisting(path, st);
}

} // namespace

OpenedFile OpenStoreFile(const std::string& dataDir, OpenMode mode) {
    if (dataDir.empty()) // no home folder: never a file in whatever the working folder is
        return Failed(DataDirMessage(dataDir, "没有可用的数据文件夹，请用 --data-dir 指定"_gbk));
    const std::string path = WatchlistPath(dataDir);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return OpenExisting(path, st);
    if (errno != ENOENT && errno != ENOTDIR)
        return Failed(OpenFailedMessage(path, ErrnoText(errno)));
    if (mode == OpenMode::ExistingOnly)
        return Outcome(StoreState::Absent);
    return CreateStoreFile(dataDir, path);
}

} // namespace fundlens
