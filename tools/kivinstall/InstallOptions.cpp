#include "InstallOptions.h"

const char kInstallUsageText[] =
    "usage: kivinstall --target DIR [--accept-license] [--open] [--dry-run] [PACKAGE_DIR]\n"
    "       kivinstall --version";

bool ParseInstallArguments(const std::vector<std::string>& args, InstallOptions& options, std::string& error)
{
    auto flag = [&](const std::string& arg) {
        return SetFlag(arg, {{"--accept-license", &options.acceptLicense}, {"--open", &options.open},
                             {"--dry-run", &options.dryRun}, {"--help", &options.help}, {"-h", &options.help},
                             {"--version", &options.version}});
    };
    if (!ParseToolArguments(args, flag, options, error))
        return false;
    if (!options.help && !options.version && (!options.hasTarget || options.target.empty())) {
        error = "--target names the directory to install into";
        return false;
    }
    return true;
}
