#include "kivpack/InstallerSearch.h"

#include "kivpack/PackFiles.h"

namespace fs = std::filesystem;

fs::path FindInstaller(const PackOptions& options, const fs::path& program)
{
    if (!options.installer.empty())
        return fs::u8path(options.installer);
    const fs::path directory = program.parent_path();
    for (const fs::path& candidate :
         {directory / kInstallerFileName, directory / ".." / "share" / "kivsetup" / kInstallerFileName}) {
        if (IsRegularFile(candidate))
            return candidate.lexically_normal();
    }
    return {};
}
