// What the name lookup saw of a path on POSIX systems, where it looks at the path whole.
#include "checks/PackageChecks.h"

#include <sys/stat.h>

bool SeenAsLink(const CNativePath& native, bool& isLink)
{
    const unsigned seen = native.SeenType();
    isLink = seen == S_IFLNK;
    return seen != 0;
}
