#include "PathLevels.h"

#include <cstring>

#include "GetPrefix.h"
#include "Limits.h"
#include "TextBuffer.h"

int WalkPathLevels(const char* path, PathLevelVisitor visit, void* context)
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

    // A doubled backslash gives an empty component: the level then names the
    // same directory as the one before, with a second backslash.
    const char* remaining = rest;
    while (GetPrefix(remaining, "\\", component)) {
        AppendText(level, sizeof level, component);
        AppendText(level, sizeof level, "\\");
        visit(level, context);
        remaining = strchr(remaining, '\\') + 1;
    }
    return 0;
}
