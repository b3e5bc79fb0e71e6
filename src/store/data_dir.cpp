#include "store/data_dir.h"

#include "store/store_messages.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fundlens {

namespace {

constexpr mode_t DataDirMode = 0700;
constexpr const char* AppFolder = "fundlens";

std::string Getenv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeDir() {
    const std::string home = Getenv("HOME");
    if (!home.empty())
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? std::string(entry->pw_dir) : std::string();
}

// Makes one folder; true when it exists afterwards (made now or already there).
bool MakeOneDir(const std::string& dir) {
    if (::mkdir(dir.c_str(), DataDirMode) == 0)
        return ::chmod(dir.c_str(), DataDirMode) == 0; // the umask may have taken bits away
    if (errno != EEXIST)
        return false;
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return false;
    errno = ENOTDIR;
    return S_ISDIR(st.st_mode);
}

} // namespace

std::string DefaultDataDir() {
    const std::string xdg = Getenv("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return xdg + "/" + AppFolder;
    const std::string home = HomeDir();
    if (home.empty())
        return {};
    return home + "/.local/share/" + AppFolder;
}

std::string WatchlistPath(const std::string& dataDir) {
    if (dataDir.empty())
        return WatchlistFileName;
    return dataDir.back() == '/' ? dataDir + WatchlistFileName : dataDir + "/" + WatchlistFileName;
}

bool MakeDataDir(const std::string& dataDir, Text& why) {
    if (dataDir.empty()) {
        why = DataDirMessage(dataDir, "没有可用的数据文件夹"_gbk);
        return false;
    }
    // Every parent from the top down, then the folder itself.
    for (std::size_t slash = dataDir.find('/', 1);; slash = dataDir.find('/', slash + 1)) {
        const std::string part = dataDir.substr(0, slash);
        if (!part.empty() && part.back() != '/' && !MakeOneDir(part)) {
            why = DataDirMessage(dataDir, ErrnoText(errno));
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace fundlens
