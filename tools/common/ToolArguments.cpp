#include "ToolArguments.h"

#include "KivVersion.h"
#include "WindowsNames.h"

namespace {

// "--name VALUE" or "--name=VALUE" at args[i]: the value into value, i past it.
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value)
{
    if (args[i] == name && i + 1 < args.size()) {
        value = args[++i];
        return true;
    }
    if (args[i].compare(0, name.size() + 1, name + "=") == 0) {
        value = args[i].substr(name.size() + 1);
        return true;
    }
    return false;
}

bool ReadCodePage(const std::string& text, int& number)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::stoi(text);
    return number > 0;
}

}  // namespace

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
            } else if (TakeValue(args, i, "--target", parsed.target)) {
                parsed.hasTarget = true;
            } else if (TakeValue(args, i, "--codepage", parsed.codePage)) {
                if (!ReadCodePage(parsed.codePage, parsed.codePageNumber)) {
                    error = "--codepage takes the number of a Windows code page, such as 1251";
                    return false;
                }
            } else if (!flag(arg)) {
                error = arg == "--target"     ? "--target needs a directory"
                        : arg == "--codepage" ? "--codepage needs a number"
                                              : "unknown option " + arg;
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

bool ApplyCodePage(const ToolArguments& arguments, std::string& error)
{
#ifdef _WIN32
    if (arguments.codePage.empty())
        return true;
    // The system reads the names itself, in its own code page.
    if (arguments.codePageNumber != WindowsNames::CodePage()) {
        error = "on Windows the package's names are read in the system's code page, " +
                std::to_string(WindowsNames::CodePage());
        return false;
    }
    return true;
#else
    // Each run starts from the default, whatever an earlier run in the process chose.
    if (arguments.codePage.empty())
        return WindowsNames::SetCodePage(WindowsNames::kDefaultCodePage);
    if (!WindowsNames::SetCodePage(arguments.codePageNumber)) {
        error = "code page " + arguments.codePage +
                " is none the tools read: they take 874, 1250 to 1258, 932, 936, 949, 950 and the OEM code pages "
                "this system's iconv converts (such as 437 or 850)";
        return false;
    }
    return true;
#endif
}

std::string UsageProblem(const char* tool, const std::string& problem, const char* usage)
{
    return std::string(tool) + ": " + problem + "\n" + usage + "\nTry '" + tool + " --help' for more.\n";
}

std::string VersionLine(const char* tool)
{
    return std::string(tool) + " " KIV_VERSION_TEXT "\n";
}
