// Feeds arbitrary paths through Windows' reading of them: dots resolved in a text never longer than the
// path and its closing separator, with neither "\\" nor "\.\" left; code page 1252 round-trips through
// UTF-8; a name matches itself whatever its case.
#include <cstring>
#include <string>

#include "WindowsNames.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    std::string normal(path.size() + 2, '\0'), utf8(3 * path.size() + 1, '\0'), back(path.size() + 1, '\0');
    if (!WindowsNames::NormalisePath(path.c_str(), &normal[0], normal.size()) || strstr(normal.c_str(), "\\\\") ||
        strstr(normal.c_str(), "\\.\\") || !WindowsNames::AnsiToUtf8(path.c_str(), &utf8[0], utf8.size()) ||
        !WindowsNames::Utf8ToAnsi(utf8.c_str(), &back[0], back.size()) || back.c_str() != path)
        __builtin_trap();
    std::string folded = path;
    WindowsNames::FoldAnsiCase(&folded[0]);
    std::string foldedUtf8(3 * path.size() + 1, '\0');
    WindowsNames::AnsiToUtf8(folded.c_str(), &foldedUtf8[0], foldedUtf8.size());
    if (!WindowsNames::SameNameIgnoringCase(utf8.c_str(), strlen(utf8.c_str()), foldedUtf8.c_str(), strlen(foldedUtf8.c_str())))
        __builtin_trap();
    return 0;
}
