// A directory's listing on POSIX systems, read straight from the system: its
// entries tell their own type on most file systems; where one does not, it is
// looked up.
#include "kivpack/DirectoryListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

#include "platform/posix/DirectoryEntries.h"

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
    const int dir = OpenDirectoryForListing(AT_FDCWD, directory.c_str());
    if (dir < 0)
        return std::error_code(errno, std::generic_category());
    const int error = ForEachDirectoryEntry(dir, [&](const char* name, unsigned char type) {
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
            return;
        ListedEntry entry{name, ListedType(type), {}};
        if (entry.type == fs::file_type::none)
            entry.type = fs::symlink_status(fs::path(directory) / name, entry.error).type();
        entries.push_back(std::move(entry));
    });
    close(dir);
    return error ? std::error_code(error, std::generic_category()) : std::error_code();
}
