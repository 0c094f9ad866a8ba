// The running program on Windows: its module's file name, in UTF-16.
#include "kivpack/ProgramPath.h"

#include <string>
#include <windows.h>

std::filesystem::path ProgramPath(const char*)
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return std::filesystem::path(path);
}
