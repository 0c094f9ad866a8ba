#include <cstdio>
#include <cstring>
#include <string>

#include "EntryPaths.h"
#include "FileSource.h"
#include "FileSystem.h"
#include "Limits.h"
#include "LineRules.h"
#include "PackageChecks.h"
#include "TextBuffer.h"

namespace {

std::string EntryName(size_t index)
{
    char key[kFileKeySize];
    MakeFileKey(static_cast<unsigned>(index + 1), key);
    return key;
}

// True when the components of a relative directory path lead above where it
// starts. The operating system takes "/" as a separator too.
bool ClimbsOut(const std::string& path)
{
    int depth = 0;
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find_first_of("\\/", begin);
        if (end == std::string::npos)
            end = path.size();
        const std::string component = path.substr(begin, end - begin);
        if (component == "..") {
            if (--depth < 0)
                return true;
        } else if (!component.empty() && component != ".") {
            ++depth;
        }
        begin = end + 1;
    }
    return false;
}

// Whether the source can be read as a file (copy) or opened at all (open).
bool SourceExists(const char* source, bool mustBeFile)
{
    if (source[0] == '\0')
        return false;
    if (Platform::DirectoryExists(source))
        return !mustBeFile;
    CFileSource file;
    return file.Open(source);
}

void CheckDestination(size_t index, const FileEntry& entry, std::vector<CheckWarning>& warnings)
{
    const std::string dest = entry.szDest;
    const std::string name = EntryName(index);
    char marked[kPathSize];
    if (!MarkedSubDirectory(entry.szDest, marked)) {
        Warn(warnings, "dest-no-marker",
             name + ": the destination " + Quoted(dest) + " does not start with " + kSetupDirMarker +
                 ", so it is not used: the file goes into the target directory itself");
        return;
    }
    const std::string subDirectory = marked;
    if (!subDirectory.empty() && subDirectory.back() != '\\')
        Warn(warnings, "dest-no-trailing-backslash",
             name + ": the destination " + Quoted(dest) +
                 " does not end with a backslash, so the file name is joined straight on: the file lands as " +
                 Quoted(subDirectory + entry.szFileName) + " in the target directory");
    if (ClimbsOut(subDirectory))
        Warn(warnings, "dest-climbs-out",
             name + ": the destination " + Quoted(dest) + " climbs out of the target directory with \"..\"");
}

}  // namespace

void CheckEntries(const CSetupInfo& info, std::vector<CheckWarning>& warnings)
{
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& entry = info.m_files[i];
        const bool copies = EqualsNoCase(entry.szAction, "C");
        const bool opens = EqualsNoCase(entry.szAction, "E");
        if (!copies && !opens) {
            Warn(warnings, "unknown-action",
                 EntryName(i) + ": " +
                     (entry.szAction[0] ? "the action " + Quoted(entry.szAction) + " is neither C nor E"
                                        : std::string("there is no action")) +
                     ", so the entry is neither copied nor opened");
            continue;
        }
        if (copies)
            CheckDestination(i, entry, warnings);
        if (!SourceExists(entry.szSource, copies))
            Warn(warnings, "source-missing",
                 EntryName(i) + ": the source " + Quoted(entry.szSource) + " is not a " +
                     (copies ? "file" : "file or directory") + " in the package directory, so it is " +
                     (copies ? "not copied" : "not opened"));
    }
}
