// The store's messages: GBK texts fit for a message box, each naming the file or folder.
#pragma once

#include "text/text.h"

#include <string>

namespace fundlens {

// Why a system call failed, in words (errno).
Text ErrnoText(int error);

// "PATH" as GBK text (file names are UTF-8 bytes on this platform).
Text PathText(const std::string& path);

// The data folder cannot be made or used.
Text DataDirMessage(const std::string& dir, const Text& why);

// The file cannot be opened, read or written: `why` says what the system answered.
Text OpenFailedMessage(const std::string& path, const Text& why);
Text WriteFailedMessage(const std::string& path, const Text& why);
Text ReadFailedMessage(const std::string& path, const Text& why);

// A second program holds the file longer than the busy timeout.
Text BusyMessage(const std::string& path);

// The disk is full.
Text DiskFullMessage(const std::string& path);

// The file is not a database, or a damaged one, or some other program's database.
Text DamagedMessage(const std::string& path);
Text ForeignFileMessage(const std::string& path);

// The file comes from a newer fundlens: shown when it opens, and when a change is refused.
Text NewerVersionMessage(const std::string& path);
Text ReadOnlyRefusalMessage(const std::string& path);

// The file cannot be written by this user.
Text NotWritableMessage(const std::string& path);

// A change names a fund or transaction the store does not hold.
Text FundNotWatchedMessage(const Text& code);
Text TransactionMissingMessage(long long id);

// A newer build's transaction kind this build cannot read.
Text UnknownKindMessage(const std::string& path);

// "第 N 行：why" (just `why` for line 0).
Text LineMessage(int line, const Text& why);

} // namespace fundlens
