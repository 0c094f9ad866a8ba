// What the name lookup saw of a path on Windows: nothing, the system reads the path itself.
#include "checks/PackageChecks.h"

bool SeenAsLink(const CNativePath&, bool&) { return false; }
