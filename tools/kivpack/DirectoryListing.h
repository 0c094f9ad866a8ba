// One directory's entries as its listing gives them, for the scan of the content (ContentScan.cpp); each
// system's half in posix/ or win32/.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

struct ListedEntry {
    std::string name;                 // UTF-8
    std::filesystem::file_type type;  // a link as a symlink, not followed
    std::error_code error;            // why the type could not be looked up, where it had to be
};

// Appends the entries of directory (its path as the system names it) but "."
// and "..", in the order the system lists them. Returns why the directory
// cannot be read, or no error; the entries read before a failure stay.
std::error_code ListDirectory(const std::filesystem::path::string_type& directory, std::vector<ListedEntry>& entries);
