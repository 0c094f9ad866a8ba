#include "EntryPaths.h"

#include <cstring>

#include "Limits.h"
#include "TextBuffer.h"

bool NormaliseTarget(const char* targetDir, char* target)
{
    size_t length = strlen(targetDir);
    bool fits = CopyText(target, kPathSize, targetDir);
    if (fits && (length == 0 || targetDir[length - 1] != '\\'))
        fits = AppendText(target, kPathSize, "\\");
    if (!fits)
        target[0] = '\0';
    return fits;
}

bool ComputeEntryPaths(const char* target, const FileEntry& entry, char* entryDir, char* destPath)
{
    char dest[kPathSize];
    CopyText(dest, sizeof dest, entry.szDest);
    LowerCaseAscii(dest);

    bool fits = CopyText(entryDir, kPathSize, target);
    const size_t markerLength = sizeof kSetupDirMarker - 1;
    if (strncmp(dest, kSetupDirMarker, markerLength) == 0) {
        const char* rest = dest + markerLength;
        if (*rest == '\\')
            ++rest;
        fits = fits && AppendText(entryDir, kPathSize, rest);
    }
    fits = fits && CopyText(destPath, kPathSize, entryDir) && AppendText(destPath, kPathSize, entry.szFileName);
    if (!fits) {
        entryDir[0] = '\0';
        destPath[0] = '\0';
    }
    return fits;
}
