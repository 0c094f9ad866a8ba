// "." and ".." resolved in the text, as Windows resolves them.
#include "WindowsNames.h"

#include <cstring>

namespace WindowsNames {

namespace {

bool IsDotDot(const char* level, size_t length)
{
    return length == 2 && level[0] == '.' && level[1] == '.';
}

}  // namespace

bool NormalisePath(const char* path, char* out, size_t outSize)
{
    size_t used = 0;
    size_t root = 0;  // the part of out that no ".." takes away
    const size_t pathLength = strlen(path);
    auto put = [&](const char* text, size_t length) {
        if (used + length >= outSize)
            return false;
        memcpy(out + used, text, length);
        used += length;
        return true;
    };
    if (pathLength > 0 && IsSeparator(path[0])) {
        if (!put("\\", 1))
            return false;
        root = used;
    }
    for (const char* level = path; *level;) {
        const char* end = level;
        while (*end && !IsSeparator(*end))
            ++end;
        const size_t length = static_cast<size_t>(end - level);
        level = *end ? end + 1 : end;
        if (length == 0 || (length == 1 && end[-1] == '.'))
            continue;
        if (IsDotDot(end - 2, length)) {
            // The levels after the root are joined by single backslashes.
            size_t last = used;
            while (last > root && out[last - 1] != '\\')
                --last;
            if (used > root && !IsDotDot(out + last, used - last)) {
                used = last > root ? last - 1 : root;
                continue;
            }
            if (root > 0)
                continue;  // above the root is the root
        }
        if (used > 0 && out[used - 1] != '\\' && !put("\\", 1))
            return false;
        if (!put(end - length, length))
            return false;
        if (root == 0 && used == length && end[-1] == ':') {
            // A drive; followed by a separator, its root directory, which a
            // ".." does not take away ("C:\a\.." is "C:\", not "C:").
            if (*end && !put("\\", 1))
                return false;
            root = used;
        }
    }
    // Nothing left of a relative path: the current directory.
    if (used == 0 && pathLength > 0 && !put(".", 1))
        return false;
    if (pathLength > 0 && IsSeparator(path[pathLength - 1]) && used > 0 && out[used - 1] != '\\' && !put("\\", 1))
        return false;
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

}  // namespace WindowsNames
