// CSetupInfo::MakePath: making the missing directory levels of a path.
#include "FileSystem.h"
#include "PathLevels.h"
#include "SetupInfo.h"

namespace {

// A level that cannot be made does not stop the walk: the copy into a
// still-missing directory fails by itself.
void MakeMissingLevel(const char* level, void*)
{
    if (!Platform::DirectoryExists(level))
        Platform::MakeDir(level);
}

}  // namespace

int CSetupInfo::MakePath(const char* path)
{
    return WalkPathLevels(path, MakeMissingLevel, nullptr);
}
