#include "common/ToolArguments.h"

#include "KivVersion.h"
#include "common/SystemText.h"

namespace {

bool IsCodePageNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos &&
           std::stoi(text) > 0;
}

}  // namespace

ToolOption Flag(const char* name, bool& flag) { return {name, &flag}; }

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
            error = "unknown option " +
                    (text == ArgumentText::Utf8 ? ShownSystemPath(std::filesystem::u8path(arg)) : ShownSystemText(arg));
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
    return WalkArguments(
        args, table,
        [&](const std::string& dir, std::string& problem) {
            if (hasPackageDir) {
                problem = "only one package directory can be given";
                return false;
            }
            hasPackageDir = true;
            parsed.packageDir = dir;
            return true;
        },
        error);
}

std::string UsageProblem(const char* tool, const std::string& problem, const char* usage)
{
    return std::string(tool) + ": " + problem + "\n" + usage + "\nTry '" + tool + " --help' for more.\n";
}

std::string VersionLine(const char* tool) { return std::string(tool) + " " KIV_VERSION_TEXT "\n"; }
