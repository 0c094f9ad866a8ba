#include "kivpack/PackFiles.h"

#include <cerrno>
#include <system_error>

#include "common/ErrorText.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

bool WriteBytes(const fs::path& path, const std::string& bytes, std::string& reason)
{
    FILE* out = OpenForWriting(path);
    bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    int code = written ? 0 : errno;
    if (out && fclose(out) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written)
        reason = ErrorMessage(std::error_code(code, std::generic_category()));
    return written;
}

bool CopyKeepingTime(const fs::path& from, const fs::path& to, std::string& reason)
{
    if (Platform::CopyNewSystemFile(from.c_str(), to.c_str()))
        return true;
    reason = ErrorMessage(Platform::LastError());
    return false;
}
