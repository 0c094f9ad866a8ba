#include "install/EntryPaths.h"

#include <cstring>

#include "setupinfo/Limits.h"
#include "text/Text.h"
#include "codepages/CodePages.h"

namespace {

// Writes head and then tail into out, cut to fit before a character that
// does not fit whole; returns the whole length.
size_t Join(const char* head, const char* tail, char* out, size_t outSize)
{
    if (outSize > 0) {
        CodePages::CopyCharacters(out, outSize, head);
        CodePages::AppendCharacters(out, outSize, tail);
    }
    return strlen(head) + strlen(tail);
}

}  // namespace

bool MarkedSubDirectory(const char* dest, char* subDirectory)
{
    char lowered[kPathSize];
    CopyText(lowered, sizeof lowered, dest);
    CodePages::LowerCaseAscii(lowered);
    subDirectory[0] = '\0';
    const size_t markerLength = sizeof kSetupDirMarker - 1;
    if (strlen(lowered) < markerLength || memcmp(lowered, kSetupDirMarker, markerLength) != 0)
        return false;
    const char* rest = lowered + markerLength;
    if (*rest == '\\')
        ++rest;
    CopyText(subDirectory, kPathSize, rest);
    return true;
}

size_t NormaliseTarget(const char* targetDir, char* out, size_t outSize)
{
    return Join(targetDir, CodePages::EndsWithBackslash(targetDir) ? "" : "\\", out, outSize);
}

size_t ComposeEntryDir(const char* target, const FileEntry& entry, char* out, size_t outSize)
{
    char subDirectory[kPathSize];
    MarkedSubDirectory(entry.szDest, subDirectory);
    return Join(target, subDirectory, out, outSize);
}

size_t ComposeDestPath(const char* entryDir, const FileEntry& entry, char* out, size_t outSize)
{
    return Join(entryDir, entry.szFileName, out, outSize);
}
