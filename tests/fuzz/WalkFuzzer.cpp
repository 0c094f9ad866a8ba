// Walks the directory levels of arbitrary path texts, as MakePath does, and checks what the walk promises.
#include <string>
#include <vector>

#include "Limits.h"
#include "PathLevels.h"

namespace {

void Collect(const char* level, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(level);
}

void Expect(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    // The text ends at its first NUL, as the installer's texts do; no input at all stands for a null path.
    const std::string path = std::string(reinterpret_cast<const char*>(data), size).c_str();
    std::vector<std::string> levels;
    const int result = WalkPathLevels(size == 0 ? nullptr : path.c_str(), Collect, &levels);

    if (path.empty() || path.size() > kPathSize - 1) {
        Expect(result == (path.empty() ? -1 : -2));
        Expect(levels.empty());
        return 0;
    }
    Expect(result == 0);

    // One level per backslash, each the path up to and including that
    // backslash: so the levels end with one, grow strictly and fit the limit.
    size_t backslash = std::string::npos;
    for (const std::string& level : levels) {
        backslash = path.find('\\', backslash + 1);
        Expect(backslash != std::string::npos);
        Expect(level == path.substr(0, backslash + 1));
        Expect(level.size() <= kPathSize - 1);
    }
    Expect(path.find('\\', backslash + 1) == std::string::npos);
    return 0;
}
