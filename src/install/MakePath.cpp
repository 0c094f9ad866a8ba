#include "install/MakePath.h"

#include <cstring>

#include "platform/Platform.h"
#include "setupinfo/Limits.h"
#include "text/Text.h"
#include "codepages/CodePages.h"

char* GetPrefix(const char* text, char separator, char* out)
{
    const char* found = CodePages::FindCharacter(text, separator);
    if (!found) {
        out[0] = '\0';
        return nullptr;
    }
    size_t length = static_cast<size_t>(found - text);
    memcpy(out, text, length);
    out[length] = '\0';
    return out;
}

int MakePath(const char* path, int* firstError)
{
    int ignored;
    int& first = firstError ? *firstError : ignored;
    first = 0;
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
    while (GetPrefix(remaining, '\\', component)) {
        AppendText(level, sizeof level, component);
        AppendText(level, sizeof level, "\\");
        // A copy into a directory still missing fails by itself.
        if (!Platform::DirectoryExists(level) && !Platform::MakeDir(level) && first == 0)
            first = Platform::LastError();
        remaining += strlen(component) + 1;
    }
    return 0;
}
