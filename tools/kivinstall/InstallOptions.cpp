#include "InstallOptions.h"

const char kInstallUsageText[] =
    "usage: kivinstall --target DIR [--accept-license] [--open] [--dry-run] [PACKAGE_DIR]\n"
    "       kivinstall --version";

bool ParseInstallArguments(const std::vector<std::string>& args, InstallOptions& options, std::string& error)
{
    auto flag = [&](const std::string& arg) {
        if (arg == "--accept-license")
            options.acceptLicense = true;
        else if (arg == "--open")
            options.open = true;
        else if (arg == "--dry-run")
            options.dryRun = true;
        else if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else
            return false;
        return true;
    };
    if (!ParseToolArguments(args, flag, options, error))
        return false;
    if (!options.help && !options.version && (!options.hasTarget || options.target.empty())) {
        error = "--target names the directory to install into";
        return false;
    }
    return true;
}
