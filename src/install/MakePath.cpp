// CSetupInfo::MakePath: making the missing directory levels of a path.
#include <cstring>

#include "FileSystem.h"
#include "GetPrefix.h"
#include "SetupInfo.h"
#include "TextBuffer.h"

int CSetupInfo::MakePath(const char* path)
{
    if (!path || path[0] == '\0')
        return -1;
    if (strlen(path) > kPathSize - 1)
        return -2;

    // Each buffer holds a part of the path, which fits by the test above.
    char rest[kPathSize];
    char component[kPathSize];
    char level[kPathSize] = "";
    CopyText(rest, sizeof rest, path);

    // Every level ends with a backslash; the text after the last one is a
    // file name and is never made. A level that cannot be made does not stop
    // the walk: the copy into a still-missing directory fails by itself.
    const char* remaining = rest;
    while (GetPrefix(remaining, "\\", component)) {
        AppendText(level, sizeof level, component);
        AppendText(level, sizeof level, "\\");
        if (!Platform::DirectoryExists(level))
            Platform::MakeDir(level);
        remaining = strchr(remaining, '\\') + 1;
    }
    return 0;
}
