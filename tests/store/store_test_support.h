// Shared pieces of the store tests: a fresh folder per test, file bytes and modes, and raw SQLite
// access to craft and inspect store files behind the store's back.
#pragma once

#include <string>
#include <sys/types.h>

namespace fundlens::testing {

// A new empty folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The permission bits (07777), or -1 when the file is missing.
int ModeOf(const std::string& path);

// Runs `sql` on the file through a connection of its own; false (with a test failure) on error.
bool RawExec(const std::string& path, const std::string& sql);
// The first column of the first row of `sql`; -1 on error.
long long RawInt(const std::string& path, const std::string& sql);
// The same as text; empty on error.
std::string RawText(const std::string& path, const std::string& sql);

} // namespace fundlens::testing
