// Where the watchlist's store lives: the data folder and the file in it.
#pragma once

#include "text/text.h"

#include <string>

namespace fundlens {

// The store's file name inside the data folder.
inline constexpr const char* WatchlistFileName = "watchlist.db";

// The platform's application-data folder for fundlens: $XDG_DATA_HOME/fundlens when that is an
// absolute path, else $HOME/.local/share/fundlens (the home folder from the user database when
// HOME is unset). Empty when no home folder can be found. Nothing is created.
std::string DefaultDataDir();

// `dataDir`/watchlist.db.
std::string WatchlistPath(const std::string& dataDir);

// Makes the data folder and any missing parents, each made with mode 0700; folders that exist
// are left as they are. False with a GBK message naming the folder when it cannot be made.
bool MakeDataDir(const std::string& dataDir, Text& why);

} // namespace fundlens
