#include "ToolArguments.h"

#include <algorithm>

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

std::string CodePageHelp(size_t column)
{
    // "~" holds a code page's number and name together on one line.
    const std::string description =
        "the Windows code page of the package's texts and names: 1252~Western~European (the default), "
        "1250~Central~European, 1251~Cyrillic, 1253~Greek, 1254~Turkish, 1255~Hebrew, 1256~Arabic, 1257~Baltic, "
        "1258~Vietnamese, 874~Thai, 932~Japanese, 936~Simplified~Chinese, 949~Korean, 950~Traditional~Chinese, "
        "or an OEM code page such as 437~or~850; on Windows only the system's own code page";
    constexpr size_t kWidth = 79;
    std::string help = "  --codepage N", line;
    help.append(column - help.size(), ' ');
    for (size_t at = 0; at < description.size();) {
        size_t end = description.find(' ', at);
        if (end == std::string::npos)
            end = description.size();
        std::string word = description.substr(at, end - at);
        std::replace(word.begin(), word.end(), '~', ' ');
        if (!line.empty() && column + line.size() + 1 + word.size() > kWidth) {
            help += line + "\n" + std::string(column, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return help + line + "\n";
}

std::string VersionLine(const char* tool)
{
    return std::string(tool) + " " KIV_VERSION_TEXT "\n";
}
