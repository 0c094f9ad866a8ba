// The arguments on Windows: the UTF-16 command line, put into the code page exactly.
#include "common/SystemArguments.h"

#include <windows.h>
#include <shellapi.h>

#include "codepages/CodePages.h"

bool SystemArguments(int, char**, std::vector<std::string>& args, std::string& error)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        error = "the command line cannot be read";
        return false;
    }
    args.clear();
    for (int i = 1; i < count && error.empty(); ++i) {
        // A character takes at most two bytes in the code page.
        std::string text(2 * wcslen(wide[i]) + 1, '\0');
        if (CodePages::WideToAnsi(wide[i], &text[0], text.size()))
            args.push_back(text.c_str());
        else
            error = "argument " + std::to_string(i) + " holds characters that this Windows' code page (" +
                    std::to_string(CodePages::CodePage()) + ") cannot write";
    }
    LocalFree(wide);
    return error.empty();
}
