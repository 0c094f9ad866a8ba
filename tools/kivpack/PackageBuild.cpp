#include "PackageBuild.h"

#include <system_error>
#include <utility>

#include "FileSystem.h"
#include "InstallerSearch.h"
#include "PackFiles.h"
#include "ToolOutput.h"

namespace fs = std::filesystem;

bool BuildPackage(const fs::path& root, const PackOptions& options, const CSetupInfo& layout, const ContentScan& scan,
                  const std::vector<PackEntry>& entries, const fs::path& installer, std::string& problem)
{
    std::error_code error;
    auto notWritten = [&](const std::string& what) {
        problem = Platform::Interrupted() ? "interrupted; nothing was written" : what + " could not be written: " + ErrorMessage(error);
        return false;
    };
    // The licence and the logo are checked with the rest, by kivcheck's checks
    // (the logo by the installer's own bitmap check).
    const std::pair<const std::string&, const char*> presentation[] = {{options.license, kLicenseFileName},
                                                                       {options.logo, kLogoFileName}};
    for (const auto& file : presentation) {
        if (!file.first.empty() && !CopyKeepingTime(fs::u8path(file.first), root / file.second, error))
            return notWritten(file.second);
    }
    if (!installer.empty() && !CopyKeepingTime(installer, root / kInstallerFileName, error))
        return notWritten(kInstallerFileName);

    fs::path made;
    for (const ContentFile& file : scan.files) {
        const fs::path destination = root / kContentDirName / file.relative;
        if (destination.parent_path() != made) {
            made = destination.parent_path();
            fs::create_directories(made, error);
        }
        if (Platform::Interrupted() || error || !CopyKeepingTime(file.source, destination, error))
            return notWritten(ShownSystemPath(fs::u8path(file.shown), Quotes::With));
    }
    if (!WriteBytes(root / kSetupFileName, SetupFileText(layout), error))
        return notWritten(kSetupFileName);
    if (!WriteBytes(root / kListFileName, ListFileText(layout, entries), error))
        return notWritten(kListFileName);
    return true;
}
