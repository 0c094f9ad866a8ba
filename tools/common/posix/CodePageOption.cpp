// The code page on POSIX systems: the one --codepage names, read by iconv, 1252 without it.
#include "common/CodePageOption.h"

#include "codepages/CodePages.h"
#include "windowsnames/WindowsNames.h"

bool ApplyCodePage(const ToolArguments& arguments, std::string& error)
{
    // Without the C library's UTF-8 locale, names that differ only in the
    // case of a letter outside ASCII would not be found as Windows finds them.
    if (!WindowsNames::CanFoldCase()) {
        error =
            "the system lacks the C.UTF-8 locale, without which letter case outside ASCII cannot be compared "
            "as Windows compares it";
        return false;
    }
    // Each run starts from the default, whatever an earlier run in the process chose.
    if (arguments.codePage.empty())
        return CodePages::SetCodePage(CodePages::kDefaultCodePage);
    if (!CodePages::SetCodePage(std::stoi(arguments.codePage))) {
        error = "code page " + arguments.codePage + " is none the tools read: they take " + AnsiCodePageNumbers() +
                " and the OEM code pages this system's iconv converts (such as 437 or 850)";
        return false;
    }
    return true;
}
