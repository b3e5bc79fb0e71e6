#include "store/sqlite_helpers.h"

namespace fundlens::sqlite {

Statement::Statement(sqlite3* db, std::string_view sql) {
    m_prepareCode =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (m_prepareCode == SQLITE_OK && !m_stmt)
        m_prepareCode = SQLITE_MISUSE; // an empty statement
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::Bind(int index, double value) {
    sqlite3_bind_double(m_stmt, index, value);
}

void Statement::Bind(int index, long long value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::Bind(int index, const std::optional<double>& value) {
    if (value)
        sqlite3_bind_double(m_stmt, index, *value);
    else
        sqlite3_bind_null(m_stmt, index);
}

int Statement::Step() {
    if (m_prepareCode != SQLITE_OK)
        return m_prepareCode;
    return sqlite3_step(m_stmt);
}

void Statement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::string Statement::TextAt(int column) const {
    const unsigned char* text = sqlite3_column_text(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

double Statement::DoubleAt(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

long long Statement::IntAt(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

std::optional<double> Statement::OptionalDoubleAt(int column) const {
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_double(m_stmt, column);
}

int Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

std::optional<long long> QueryInt(sqlite3* db, const char* sql, int& code) {
    Statement statement(db, sql);
    code = statement.Step();
    if (code != SQLITE_ROW) {
        if (code == SQLITE_DONE)
            code = SQLITE_EMPTY;
        return std::nullopt;
    }
    code = SQLITE_OK;
    return statement.IntAt(0);
}

WriteTransaction::WriteTransaction(sqlite3* db)
    : m_db(db), m_beginCode(Exec(db, "BEGIN IMMEDIATE")), m_open(m_beginCode == SQLITE_OK) {}

WriteTransaction::~WriteTransaction() {
    if (m_open && !sqlite3_get_autocommit(m_db))
        Exec(m_db, "ROLLBACK");
}

int WriteTransaction::Commit() {
    const int code = Exec(m_db, "COMMIT");
    if (code == SQLITE_OK)
        m_open = false;
    return code;
}

} // namespace fundlens::sqlite
