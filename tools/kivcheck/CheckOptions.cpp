#include "CheckOptions.h"

const char kUsage[] = "usage: kivcheck [--json] [--target DIR] [--strict] [PACKAGE_DIR]\n       kivcheck --version";

bool ParseArguments(const std::vector<std::string>& args, CheckOptions& options, std::string& error)
{
    auto flag = [&](const std::string& arg) {
        return SetFlag(arg, {{"--json", &options.json}, {"--strict", &options.strict}, {"--help", &options.help},
                             {"-h", &options.help}, {"--version", &options.version}});
    };
    return ParseToolArguments(args, flag, options, error);
}
