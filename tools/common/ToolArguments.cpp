#include "ToolArguments.h"

bool ParseToolArguments(const std::vector<std::string>& args, const std::function<bool(const std::string&)>& flag,
                        ToolArguments& parsed, std::string& error)
{
    bool optionsEnded = false;
    bool hasPackageDir = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--target" && i + 1 < args.size()) {
                parsed.hasTarget = true;
                parsed.target = args[++i];
            } else if (arg.compare(0, 9, "--target=") == 0) {
                parsed.hasTarget = true;
                parsed.target = arg.substr(9);
            } else if (!flag(arg)) {
                error = arg == "--target" ? "--target needs a directory" : "unknown option " + arg;
                return false;
            }
            continue;
        }
        if (hasPackageDir) {
            error = "only one package directory can be given";
            return false;
        }
        hasPackageDir = true;
        parsed.packageDir = arg;
    }
    return true;
}

bool SetFlag(const std::string& arg, std::initializer_list<std::pair<const char*, bool*>> flags)
{
    for (const auto& flag : flags) {
        if (arg == flag.first)
            return *flag.second = true;
    }
    return false;
}
