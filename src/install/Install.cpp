// CSetupInfo::Install: the copy pass over the C entries, then the open pass over the E entries.
#include "EntryPaths.h"
#include "FileSystem.h"
#include "SetupInfo.h"
#include "TextBuffer.h"

namespace {

// Makes sure the entry directory exists: it is entered to test it, and made
// when it cannot be entered. The current directory is always put back, since
// relative source and destination paths are resolved against it. Returns
// false when it could not be put back; the copy must not run then.
bool PrepareEntryDir(const char* entryDir)
{
    char saved[kPathSize];
    if (!Platform::GetCurrentDir(saved, sizeof saved)) {
        // A current directory that does not fit the buffer could not be
        // restored, so it is not left: the entry directory is tested in place.
        if (!Platform::DirectoryExists(entryDir))
            CSetupInfo::MakePath(entryDir);
        return true;
    }
    if (!Platform::ChangeDir(entryDir))
        CSetupInfo::MakePath(entryDir);
    return Platform::ChangeDir(saved);
}

// Copies one C entry into the normalised target; false when it was not copied.
bool CopyEntry(const char* target, const FileEntry& entry)
{
    char entryDir[kPathSize];
    char destPath[kPathSize];
    if (!ComputeEntryPaths(target, entry, entryDir, destPath))
        return false;
    if (!PrepareEntryDir(entryDir))
        return false;
    return Platform::CopyFileOverwrite(entry.szSource, destPath);
}

}  // namespace

int CSetupInfo::Install(const char* targetDir) const
{
    // An over-long target leaves every C entry uncopied; the open pass still runs.
    char target[kPathSize];
    bool targetFits = NormaliseTarget(targetDir ? targetDir : "", target);

    int notCopied = 0;
    for (size_t i = 0; i < m_files.GetSize(); ++i) {
        const FileEntry& entry = m_files[i];
        if (EqualsNoCase(entry.szAction, "C") && !(targetFits && CopyEntry(target, entry)))
            ++notCopied;
    }

    // Opened only after every copy, from the source location; a failed open
    // passes silently and does not change the result.
    for (size_t i = 0; i < m_files.GetSize(); ++i) {
        const FileEntry& entry = m_files[i];
        if (EqualsNoCase(entry.szAction, "E"))
            Platform::ShellOpen(entry.szSource);
    }
    return notCopied;
}
