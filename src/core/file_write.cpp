#include "core/file_write.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

namespace {

FileWriteError write_error(const fs::path& path, int err) {
    const std::string reason = std::generic_category().message(err);
    return FileWriteError("Could not write the file " + path.string() + ": " + reason, reason);
}

} // namespace

void write_file_replacing(const fs::path& target, const std::string& text) {
    std::error_code ec;
    const bool existed = fs::exists(target, ec);
    if (existed) {
        // A file that could not be opened for writing in place is refused, not replaced by renaming.
        errno = 0;
        std::ofstream probe(target, std::ios::app);
        if (!probe)
            throw write_error(target, errno ? errno : EACCES);
    }

    fs::path temporary;
    std::FILE* file = nullptr;
    int err = 0;
    for (int n = 0; n < 100 && !file; ++n) {
        temporary =
            target.parent_path() / ("." + target.filename().string() + "." + std::to_string(n) + ".tmp");
        errno = 0;
        file = std::fopen(temporary.string().c_str(), "wx");
        err = errno;
        if (!file && err != EEXIST)
            break;
    }
    if (!file)
        throw write_error(target, err ? err : EEXIST);

    const bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    err = written ? 0 : errno;
    const bool closed = std::fclose(file) == 0;
    if (!closed && !err)
        err = errno;
    if (!written || !closed) {
        fs::remove(temporary, ec);
        throw write_error(target, err ? err : EIO);
    }
    if (existed)
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw write_error(target, ec.value());
    }
}

} // namespace tarvik
