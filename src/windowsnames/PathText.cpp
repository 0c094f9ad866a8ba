// "." and ".." resolved in the text, as Windows resolves them.
#include "windowsnames/WindowsNames.h"

#include <cstring>

namespace WindowsNames {

namespace {

bool IsDotDot(const char* level, size_t length) { return length == 2 && level[0] == '.' && level[1] == '.'; }

}  // namespace

bool NormalisePath(const char* path, char* out, size_t outSize)
{
    size_t used = 0;
    size_t root = 0;        // the part of out that no ".." takes away
    bool separated = true;  // out is empty or ends with a separator character
    bool endsWithSeparator = false;
    const size_t pathLength = strlen(path);
    auto put = [&](const char* text, size_t length) {
        if (used + length >= outSize)
            return false;
        memcpy(out + used, text, length);
        used += length;
        separated = length == 1 && text[0] == '\\';
        return true;
    };
    if (pathLength > 0 && IsSeparator(path[0])) {
        if (!put("\\", 1))
            return false;
        root = used;
    }
    for (const char* level = path; *level;) {
        // Levels end at a separator that is a character of its own.
        const char* end = level;
        const char* lastCharacter = level;
        while (*end && !IsSeparator(*end)) {
            lastCharacter = end;
            end = CodePages::NextCharacter(end);
        }
        const size_t length = static_cast<size_t>(end - level);
        endsWithSeparator = *end != '\0';
        level = *end ? end + 1 : end;
        if (length == 0 || (length == 1 && end[-1] == '.'))
            continue;
        if (IsDotDot(end - 2, length)) {
            // The last level after the root, found from the front: the levels
            // after the root are joined by single backslash characters.
            size_t last = root;
            for (size_t at = root; at < used;) {
                const size_t step = CodePages::IsLeadByte(static_cast<unsigned char>(out[at])) && at + 1 < used ? 2 : 1;
                if (step == 1 && out[at] == '\\')
                    last = at + 1;
                at += step;
            }
            if (used > root && !IsDotDot(out + last, used - last)) {
                used = last > root ? last - 1 : root;
                separated = used == root && (root == 0 || out[root - 1] == '\\');
                continue;
            }
            if (root > 0)
                continue;  // above the root is the root
        }
        if (!separated && !put("\\", 1))
            return false;
        if (!put(end - length, length))
            return false;
        if (root == 0 && used == length && *lastCharacter == ':') {
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
    if (endsWithSeparator && used > 0 && !separated && !put("\\", 1))
        return false;
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

}  // namespace WindowsNames
