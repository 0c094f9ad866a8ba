#include "common/ToolArguments.h"

#include <algorithm>

#include "KivVersion.h"
#include "common/ToolOutput.h"
#include "windowsnames/WindowsNames.h"

namespace {

bool IsCodePageNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos &&
           std::stoi(text) > 0;
}

}  // namespace

ToolOption Flag(const char* name, bool& flag)
{
    return {name, &flag};
}

ToolOption Valued(const char* name, std::string& value, const char* needs, bool* given)
{
    ToolOption option{name, given};
    option.value = &value;
    option.needs = needs;
    return option;
}

ToolOption Repeated(const char* name, std::vector<std::string>& values)
{
    ToolOption option{name, nullptr};
    option.values = &values;
    return option;
}

std::vector<ToolOption> CommonOptions(ToolArguments& parsed)
{
    ToolOption codePage = Valued("--codepage", parsed.codePage, "a number");
    codePage.accepts = IsCodePageNumber;
    codePage.refusal = "--codepage takes the number of a Windows code page, such as 1251";
    return {codePage, Flag("-h", parsed.help), Flag("--help", parsed.help), Flag("--version", parsed.version)};
}

bool WalkArguments(const std::vector<std::string>& args, const std::vector<ToolOption>& table,
                   const std::function<bool(const std::string& operand, std::string& error)>& operand,
                   std::string& error, ArgumentText text)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!operand(arg, error))
                return false;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const ToolOption* option = nullptr;
        for (const ToolOption& candidate : table) {
            if (name == candidate.name)
                option = &candidate;
        }
        const bool takesValue = option && (option->value || option->values);
        if (!option || (!takesValue && equals != std::string::npos)) {
            error = "unknown option " + (text == ArgumentText::Utf8 ? ShownSystemPath(std::filesystem::u8path(arg))
                                                                    : ShownSystemText(arg));
            return false;
        }
        if (takesValue) {
            if (equals == std::string::npos && i + 1 == args.size()) {
                error = name + " needs " + option->needs;
                return false;
            }
            const std::string value = equals == std::string::npos ? args[++i] : arg.substr(equals + 1);
            if (option->accepts && !option->accepts(value)) {
                error = option->refusal;
                return false;
            }
            if (option->value)
                *option->value = value;
            else
                option->values->push_back(value);
        }
        if (option->given)
            *option->given = true;
    }
    return true;
}

bool ParseToolArguments(const std::vector<std::string>& args, std::vector<ToolOption> table, ToolArguments& parsed,
                        std::string& error)
{
    table.push_back(Valued("--target", parsed.target, "a directory", &parsed.hasTarget));
    for (const ToolOption& option : CommonOptions(parsed))
        table.push_back(option);
    bool hasPackageDir = false;
    return WalkArguments(args, table, [&](const std::string& dir, std::string& problem) {
        if (hasPackageDir) {
            problem = "only one package directory can be given";
            return false;
        }
        hasPackageDir = true;
        parsed.packageDir = dir;
        return true;
    }, error);
}

bool ApplyCodePage(const ToolArguments& arguments, std::string& error)
{
#ifdef _WIN32
    if (arguments.codePage.empty())
        return true;
    // The system reads the names itself, in its own code page.
    if (std::stoi(arguments.codePage) != CodePages::CodePage()) {
        error = "on Windows the package's names are read in the system's code page, " +
                std::to_string(CodePages::CodePage());
        return false;
    }
    return true;
#else
    // Without the C library's UTF-8 locale, names that differ only in the
    // case of a letter outside ASCII would not be found as Windows finds them.
    if (!WindowsNames::CanFoldCase()) {
        error = "the system lacks the C.UTF-8 locale, without which letter case outside ASCII cannot be compared "
                "as Windows compares it";
        return false;
    }
    // Each run starts from the default, whatever an earlier run in the process chose.
    if (arguments.codePage.empty())
        return CodePages::SetCodePage(CodePages::kDefaultCodePage);
    if (!CodePages::SetCodePage(std::stoi(arguments.codePage))) {
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
