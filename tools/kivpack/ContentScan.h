// The content directory read for packing: its files in the package's order,
// and what in it a package cannot carry.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct ContentFile {
    std::filesystem::path source;    // the file to copy (a link's target is read through it)
    std::filesystem::path relative;  // below the content directory
    std::string shown;               // the relative path for messages: UTF-8, "/" between names
    std::string packagePath;         // the relative path in the package's code page, "\" between names
    std::string packageDir;          // its directory part, "" at the top, without a closing "\"
};

struct ContentScan {
    std::vector<ContentFile> files;     // sorted as Windows compares names, level by level
    std::vector<std::string> refusals;  // one message for each name or file that cannot be packed
    std::vector<std::string> notes;     // what is left out, and why
};

// Reads the tree below contentDir. Regular files are packed, and so are links
// to regular files (as the file they name). Links to directories are left
// out, with a note. Pipes, sockets, devices and dangling links are refused
// and never opened; so are names a package cannot carry (NameProblems) and
// two names in one directory that differ only in letter case. A directory
// that holds no file to pack is not carried, and its name not checked.
ContentScan ScanContent(const std::filesystem::path& contentDir);
