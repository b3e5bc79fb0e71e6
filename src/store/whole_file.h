// Writing a file whole: a temporary file beside it, renamed into place once everything is
// written, so that a failed write leaves neither a half file nor a changed one. No Qt.
#pragma once

#include <string>

namespace fundlens {

// Writes `content` to `path` (UTF-8). False with a message (UTF-8, naming the file) when the
// file cannot be written; the file is then as it was.
bool WriteWholeFile(const std::string& path, const std::string& content, std::string& error);

} // namespace fundlens
