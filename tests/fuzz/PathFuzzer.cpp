// Feeds arbitrary target directories and file entries through the path composition and the level walk.
#include <cstring>

#include "EntryPaths.h"
#include "FuzzInput.h"
#include "Limits.h"
#include "PathLevels.h"
#include "TextBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    std::vector<std::string> parts = SplitFuzzInput(data, size, 3);
    FileEntry entry = {};
    CopyText(entry.szDest, sizeof entry.szDest, parts[1].c_str());
    CopyText(entry.szFileName, sizeof entry.szFileName, parts[2].c_str());

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
