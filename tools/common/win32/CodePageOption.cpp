// The code page on Windows: the system's own, which reads the names itself.
#include "common/CodePageOption.h"

#include "codepages/CodePages.h"

bool ApplyCodePage(const ToolArguments& arguments, std::string& error)
{
    if (arguments.codePage.empty() || std::stoi(arguments.codePage) == CodePages::CodePage())
        return true;
    error =
        "on Windows the package's names are read in the system's code page, " + std::to_string(CodePages::CodePage());
    return false;
}
