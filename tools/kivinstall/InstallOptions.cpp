#include "InstallOptions.h"

const char kInstallUsageText[] =
    "usage: kivinstall --target DIR [--accept-license] [--open] [--dry-run] [PACKAGE_DIR]";

bool ParseInstallArguments(const std::vector<std::string>& args, InstallOptions& options, std::string& error)
{
    bool optionsEnded = false;
    bool hasPackageDir = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--accept-license") {
                options.acceptLicense = true;
            } else if (arg == "--open") {
                options.open = true;
            } else if (arg == "--dry-run") {
                options.dryRun = true;
            } else if (arg == "--help" || arg == "-h") {
                options.help = true;
            } else if (arg == "--target" && i + 1 < args.size()) {
                options.hasTarget = true;
                options.target = args[++i];
            } else if (arg.compare(0, 9, "--target=") == 0) {
                options.hasTarget = true;
                options.target = arg.substr(9);
            } else {
                error = arg == "--target" ? "--target needs a directory" : "unknown option " + arg;
                return false;
            }
            continue;
        }
        if (hasPackageDir) {
            error = "only one package can be installed at a time";
            return false;
        }
        hasPackageDir = true;
        options.packageDir = arg;
    }
    if (!options.help && (!options.hasTarget || options.target.empty())) {
        error = "--target names the directory to install into";
        return false;
    }
    return true;
}
