#include "store/set_aside.h"

#include "store/store_messages.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fundlens {

namespace {

// Tries -2, -3, ... up to this many names for one second before giving up.
constexpr int MaxAsideNames = 1000;

constexpr const char* Companions[] = {"-wal", "-shm"};

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// rename that never replaces: renameat2's RENAME_NOREPLACE, or link + unlink where the file
// system lacks it. 0 or an errno (EEXIST when `to` is taken).
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

std::string Stamp(std::time_t now) {
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The first base name whose main file and companions are all free.
std::string FreeBase(const std::string& stem) {
    for (int n = 1; n <= MaxAsideNames; ++n) {
        const std::string base = n == 1 ? stem : stem + "-" + std::to_string(n);
        bool taken = Exists(base);
        for (const char* ending : Companions)
            taken = taken || Exists(base + ending);
        if (!taken)
            return base;
    }
    return {};
}

Text MoveFailed(const std::string& path, int error) {
    return Utf8ToText("无法把文件移到一旁：") + PathText(path) + "（"_gbk + ErrnoText(error) +
           "）"_gbk;
}

// Moves `path`'s -wal and -shm to `base` + their endings. `movedMain` is where the main file
// went, if it was moved: the result names it even when a companion then fails to move.
AsideResult MoveCompanions(const std::string& path, const std::string& base,
                           const std::string& movedMain) {
    for (const char* ending : Companions) {
        const std::string companion = path + ending;
        if (!Exists(companion))
            continue;
        if (movedMain.empty() && Exists(path))
            return {{}, {}}; // a second program is making the file: these are its own
        if (const int error = RenameNoReplace(companion, base + ending); error != 0)
            return {movedMain, MoveFailed(companion, error)};
    }
    return {base, {}};
}

AsideResult MoveAside(const std::string& path, const std::string& tag, std::time_t now,
                      bool withMain) {
    const std::string stem = path + "." + tag + "-" + Stamp(now);
    for (int attempt = 0; attempt < MaxAsideNames; ++attempt) {
        const std::string base = FreeBase(stem);
        if (base.empty())
            break;
        if (withMain) {
            const int error = RenameNoReplace(path, base);
            if (error == EEXIST)
                continue; // taken since FreeBase looked: the next free name
            if (error != 0)
                return {{}, MoveFailed(path, error)};
        }
        return MoveCompanions(path, base, withMain ? base : std::string());
    }
    return {{}, MoveFailed(path, EEXIST)};
}

} // namespace

AsideResult SetAside(const std::string& path, std::time_t now) {
    if (!Exists(path))
        return {{}, MoveFailed(path, ENOENT)};
    return MoveAside(path, "damaged", now, true);
}

AsideResult SetAsideLeftovers(const std::string& path, std::time_t now) {
    bool any = false;
    for (const char* ending : Companions)
        any = any || Exists(path + ending);
    if (!any)
        return {};
    return MoveAside(path, "orphaned", now, false);
}

} // namespace fundlens
