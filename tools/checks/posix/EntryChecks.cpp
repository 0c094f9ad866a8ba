// What the name lookup saw of a path on POSIX systems, where it looks at the path whole.
#include "checks/PackageChecks.h"

#include <sys/stat.h>

bool SeenByLookup(const CNativePath& native, bool& exists, bool& isLink)
{
    // A path the lookup found missing has a level that is not there, or
    // that could not be looked at: nothing is there. The type of one it
    // found is known where it looked at the path whole.
    exists = native.Exists();
    const unsigned seen = native.SeenType();
    isLink = seen == S_IFLNK;
    return !exists || seen != 0;
}
