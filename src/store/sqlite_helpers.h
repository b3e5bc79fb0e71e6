// Small RAII pieces over SQLite's C API, used inside src/store only.
#pragma once

#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace fundlens::sqlite {

// A prepared statement, finalized when it goes. A statement that failed to prepare answers
// every Step with the preparation's error.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. An absent optional binds NULL.
    void Bind(int index, std::string_view text);
    void Bind(int index, double value);
    void Bind(int index, long long value);
    void Bind(int index, const std::optional<double>& value);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Ready to run again with new parameters.
    void Reset();

    // Columns count from 0.
    std::string TextAt(int column) const;
    double DoubleAt(int column) const;
    long long IntAt(int column) const;
    std::optional<double> OptionalDoubleAt(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareCode = SQLITE_OK;
};

// Runs statements that give no rows; the SQLite result code.
int Exec(sqlite3* db, const char* sql);

// The first column of the first row of `sql` as an integer; nullopt with `code` set when the
// query fails or gives no row.
std::optional<long long> QueryInt(sqlite3* db, const char* sql, int& code);

// The primary result code (SQLITE_BUSY for SQLITE_BUSY_SNAPSHOT and so on).
inline int Primary(int code) {
    return code & 0xff;
}

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(sqlite3* db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    int BeginCode() const { return m_beginCode; }
    // SQLITE_OK, or the error (the transaction is then rolled back on destruction).
    int Commit();

private:
    sqlite3* m_db;
    int m_beginCode;
    bool m_open;
};

} // namespace fundlens::sqlite
