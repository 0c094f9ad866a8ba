// The arguments on Windows: the UTF-16 command line, put into UTF-8 or into the code page exactly.
#include "common/SystemArguments.h"

#include <filesystem>
#include <windows.h>
#include <shellapi.h>

#include "codepages/CodePages.h"

bool SystemArguments(int, char**, ArgumentText text, std::vector<std::string>& args, std::string& error)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        error = "the command line cannot be read";
        return false;
    }
    args.clear();
    for (int i = 1; i < count && error.empty(); ++i) {
        if (text == ArgumentText::Utf8) {
            args.push_back(std::filesystem::path(wide[i]).u8string());
            continue;
        }
        // A character takes at most two bytes in the code page.
        std::string ansi(2 * wcslen(wide[i]) + 1, '\0');
        if (CodePages::WideToAnsi(wide[i], &ansi[0], ansi.size()))
            args.push_back(ansi.c_str());
        else
            error = "argument " + std::to_string(i) + " holds characters that this Windows' code page (" +
                    std::to_string(CodePages::CodePage()) + ") cannot write";
    }
    LocalFree(wide);
    return error.empty();
}
