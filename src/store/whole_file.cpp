#include "store/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fundlens {

bool WriteWholeFile(const std::string& path, const std::string& content, std::string& error) {
    if (path.empty()) {
        error = "no file named";
        return false;
    }
    const std::string temporary = path + ".part" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out.flush()) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code failed;
    std::filesystem::rename(temporary, path, failed);
    if (failed) {
        error = "cannot write " + path + ": " + failed.message();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace fundlens
