// A directory's listing on Windows: std::filesystem's, whose entries' types
// are looked up where the listing does not tell them.
#include "kivpack/DirectoryListing.h"

namespace fs = std::filesystem;

std::error_code ListDirectory(const std::wstring& directory, std::vector<ListedEntry>& entries)
{
    std::error_code error;
    for (fs::directory_iterator it(fs::path(directory), error), end; !error && it != end; it.increment(error)) {
        ListedEntry entry{it->path().filename().u8string(), fs::file_type::unknown, {}};
        entry.type = it->is_symlink(entry.error)        ? fs::file_type::symlink
                     : it->is_directory(entry.error)    ? fs::file_type::directory
                     : it->is_regular_file(entry.error) ? fs::file_type::regular
                                                        : fs::file_type::unknown;
        entries.push_back(std::move(entry));
    }
    return error;
}
