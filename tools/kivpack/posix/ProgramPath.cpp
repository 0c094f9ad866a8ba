// The running program on POSIX systems: /proc/self/exe, or its first argument made absolute.
#include "kivpack/ProgramPath.h"

#include <system_error>

std::filesystem::path ProgramPath(const char* argv0)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::absolute(argv0, error) : self;
}
