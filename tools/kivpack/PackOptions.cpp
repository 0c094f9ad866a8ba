#include "PackOptions.h"

#include <utility>

#include "ToolArguments.h"

const char kPackUsageText[] =
    "usage: kivpack --title TEXT --default-dir PATH [--copyright TEXT] [--install-text TEXT]\n"
    "               [--license FILE] [--logo FILE] [--open RELPATH]... [--installer EXE] [--force]\n"
    "               CONTENT_DIR PACKAGE_DIR\n"
    "       kivpack --version";

const char kDefaultInstallText[] = "Choose the directory to install into";

bool ParsePackArguments(const std::vector<std::string>& args, PackOptions& options, std::string& error)
{
    std::string open;
    const std::pair<const char*, std::string*> valued[] = {
        {"--title", &options.title},         {"--default-dir", &options.defaultDir}, {"--copyright", &options.copyright},
        {"--install-text", &options.installText}, {"--license", &options.license}, {"--logo", &options.logo},
        {"--installer", &options.installer}, {"--open", &open}};
    std::vector<std::string> directories;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            directories.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        std::string* value = nullptr;
        for (const auto& option : valued) {
            if (name == option.first)
                value = option.second;
        }
        if (!value) {
            if (!SetFlag(arg, {{"--force", &options.force}, {"--help", &options.help}, {"-h", &options.help},
                               {"--version", &options.version}})) {
                error = "unknown option " + arg;
                return false;
            }
            continue;
        }
        if (equals == std::string::npos && i + 1 == args.size()) {
            error = name + " needs a value";
            return false;
        }
        *value = equals == std::string::npos ? args[++i] : arg.substr(equals + 1);
        if (value == &open)
            options.opens.push_back(open);
    }
    if (options.help || options.version)
        return true;
    if (options.title.empty() || options.defaultDir.empty()) {
        error = "--title and --default-dir are needed, and not empty";
        return false;
    }
    if (directories.size() != 2 || directories[0].empty() || directories[1].empty()) {
        error = "name the content directory and the package directory";
        return false;
    }
    options.contentDir = directories[0];
    options.packageDir = directories[1];
    return true;
}
