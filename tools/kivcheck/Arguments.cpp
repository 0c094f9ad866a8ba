#include "Arguments.h"

const char kUsage[] = "usage: kivcheck [--json] [--target DIR] [--strict] [PACKAGE_DIR]\n       kivcheck --version";

bool ParseArguments(const std::vector<std::string>& args, CheckOptions& options, std::string& error)
{
    bool hasPackageDir = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--json") {
                options.json = true;
            } else if (arg == "--strict") {
                options.strict = true;
            } else if (arg == "--help" || arg == "-h") {
                options.help = true;
            } else if (arg == "--version") {
                options.version = true;
            } else if (arg == "--target") {
                if (i + 1 == args.size()) {
                    error = "--target needs a directory";
                    return false;
                }
                options.hasTarget = true;
                options.target = args[++i];
            } else if (arg.compare(0, 9, "--target=") == 0) {
                options.hasTarget = true;
                options.target = arg.substr(9);
            } else {
                error = "unknown option " + arg;
                return false;
            }
            continue;
        }
        if (hasPackageDir) {
            error = "only one package directory can be checked at a time";
            return false;
        }
        hasPackageDir = true;
        options.packageDir = arg;
    }
    return true;
}
