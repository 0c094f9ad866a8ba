#include "kivpack/PackFiles.h"

#include <cerrno>
#include <cstdio>

#ifndef _WIN32
#include "platform/posix/FileCopy.h"
#endif

namespace fs = std::filesystem;

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

bool WriteBytes(const fs::path& path, const std::string& bytes, std::error_code& error)
{
#ifdef _WIN32
    FILE* out = _wfopen(path.c_str(), L"wb");
#else
    FILE* out = fopen(path.c_str(), "wb");
#endif
    bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    int code = written ? 0 : errno;
    if (out && fclose(out) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written)
        error = std::error_code(code, std::generic_category());
    return written;
}

bool CopyKeepingTime(const fs::path& from, const fs::path& to, std::error_code& error)
{
#ifdef _WIN32
    if (!fs::copy_file(from, to, error))
        return false;
    const fs::file_time_type time = fs::last_write_time(from, error);
    if (!error)
        fs::last_write_time(to, time, error);
    return !error;
#else
    // The installer's own copy on this system.
    if (CopyNewFile(from.c_str(), to.c_str()))
        return true;
    error = std::error_code(errno, std::generic_category());
    return false;
#endif
}
