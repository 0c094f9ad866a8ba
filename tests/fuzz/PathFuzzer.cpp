// Feeds arbitrary target directories and file entries through Windows' path reading, the path composition and the level walk.
#include <cstring>

#include "EntryPaths.h"
#include "FuzzInput.h"
#include "Limits.h"
#include "PathLevels.h"
#include "TextBuffer.h"
#include "WindowsNames.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    std::vector<std::string> parts = SplitFuzzInput(data, size, 3);
    FileEntry entry = {};
    CopyText(entry.szDest, sizeof entry.szDest, parts[1].c_str());
    CopyText(entry.szFileName, sizeof entry.szFileName, parts[2].c_str());

    // Windows' reading of a path: dots resolved in a text never longer than
    // the path and its closing separator; code page 1252 round-trips through UTF-8.
    std::string normal(parts[0].size() + 2, '\0'), utf8(3 * parts[0].size() + 1, '\0'), back(parts[0].size() + 1, '\0');
    if (!WindowsNames::NormalisePath(parts[0].c_str(), &normal[0], normal.size()) ||
        strstr(normal.c_str(), "\\\\") || strstr(normal.c_str(), "\\.\\") ||
        !WindowsNames::AnsiToUtf8(parts[0].c_str(), &utf8[0], utf8.size()) ||
        !WindowsNames::Utf8ToAnsi(utf8.c_str(), &back[0], back.size()) || strcmp(back.c_str(), parts[0].c_str()) != 0)
        __builtin_trap();

    char target[kPathSize];
    if (NormaliseTarget(parts[0].c_str(), target, sizeof target) >= sizeof target)
        return 0;
    size_t targetLength = strlen(target);
    if (targetLength == 0 || target[targetLength - 1] != '\\')
        __builtin_trap();

    char entryDir[kPathSize], destPath[kPathSize];
    if (ComposeEntryDir(target, entry, entryDir, sizeof entryDir) >= sizeof entryDir ||
        ComposeDestPath(entryDir, entry, destPath, sizeof destPath) >= sizeof destPath)
        return 0;
    // The entry directory lies under the target, and the destination is the
    // entry directory with the file name joined straight on.
    size_t dirLength = strlen(entryDir);
    if (strncmp(entryDir, target, targetLength) != 0 || strncmp(destPath, entryDir, dirLength) != 0 ||
        strcmp(destPath + dirLength, entry.szFileName) != 0)
        __builtin_trap();

    // MakePath's walk of the entry directory passes through the target itself,
    // so the target is made before anything inside it.
    bool visitedTarget = false;
    struct Walk {
        const char* target;
        bool* visited;
    } walk = {target, &visitedTarget};
    auto visit = [](const char* level, void* context) {
        Walk* w = static_cast<Walk*>(context);
        *w->visited = *w->visited || strcmp(level, w->target) == 0;
    };
    if (WalkPathLevels(entryDir, visit, &walk) != 0 || !visitedTarget)
        __builtin_trap();
    return 0;
}
