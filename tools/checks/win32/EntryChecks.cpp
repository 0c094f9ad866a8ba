// What the name lookup saw of a path on Windows: nothing, the system reads the path itself.
#include "checks/PackageChecks.h"

bool SeenByLookup(const CNativePath&, bool&, bool&) { return false; }
