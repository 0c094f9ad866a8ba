// A directory's listing on POSIX systems: readdir, whose entries tell their
// own type on most file systems; where one does not, it is looked up.
#include "kivpack/DirectoryListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace fs = std::filesystem;

namespace {

// The type an entry tells, or none when it tells none (DT_UNKNOWN) or one
// not known here.
fs::file_type ListedType(unsigned char type)
{
    switch (type) {
        case DT_REG:
            return fs::file_type::regular;
        case DT_DIR:
            return fs::file_type::directory;
        case DT_LNK:
            return fs::file_type::symlink;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
            return fs::file_type::unknown;  // no file to pack; which kind does not matter
        default:
            return fs::file_type::none;
    }
}

}  // namespace

std::error_code ListDirectory(const std::string& directory, std::vector<ListedEntry>& entries)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return std::error_code(errno, std::generic_category());
    int error;
    for (;;) {
        errno = 0;
        const dirent* found = readdir(dir);
        if (!found) {
            error = errno;
            break;
        }
        if (strcmp(found->d_name, ".") == 0 || strcmp(found->d_name, "..") == 0)
            continue;
        ListedEntry entry{found->d_name, ListedType(found->d_type), {}};
        if (entry.type == fs::file_type::none)
            entry.type = fs::symlink_status(fs::path(directory) / found->d_name, entry.error).type();
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return error ? std::error_code(error, std::generic_category()) : std::error_code();
}
