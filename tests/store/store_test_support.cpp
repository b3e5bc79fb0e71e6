#include "store_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>

namespace fundlens::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fundlens_store_XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp failed";
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

int ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 07777);
}

bool RawExec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK;
    char* error = nullptr;
    ok = ok && sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    EXPECT_TRUE(ok) << sql << ": " << (error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    sqlite3_close(db);
    return ok;
}

namespace {

// The first column of the first row of `sql`, read through `read`; false on error.
template <class Read>
bool RawQuery(const std::string& path, const std::string& sql, Read read) {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    const bool ok =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW;
    if (ok)
        read(statement);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ok;
}

} // namespace

long long RawInt(const std::string& path, const std::string& sql) {
    long long value = -1;
    RawQuery(path, sql, [&](sqlite3_stmt* s) { value = sqlite3_column_int64(s, 0); });
    return value;
}

std::string RawText(const std::string& path, const std::string& sql) {
    std::string value;
    RawQuery(path, sql, [&](sqlite3_stmt* s) {
        if (const unsigned char* text = sqlite3_column_text(s, 0))
            value = reinterpret_cast<const char*>(text);
    });
    return value;
}

} // namespace fundlens::testing
