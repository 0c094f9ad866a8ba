#include "NativePath.h"

#include <cstring>

#include "TextBuffer.h"

#ifdef _WIN32

CNativePath::CNativePath(const char* path) : m_path(path), m_valid(path != nullptr) {}

bool FromNativePath(const char* native, char* path, size_t size)
{
    return CopyText(path, size, native);
}

#else

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include "WindowsNames.h"

namespace {

using WindowsNames::IsSeparator;

// The levels of a path after "." and ".." are resolved in the text.
struct Levels {
    static constexpr size_t kMax = 2048;  // a 4095-byte text has fewer
    const char* start[kMax];
    size_t length[kMax];
    size_t count = 0;
};

bool SplitLevels(const char* text, bool absolute, Levels& levels)
{
    for (const char* level = text; *level;) {
        const char* end = level;
        while (*end && !IsSeparator(*end))
            ++end;
        const size_t length = static_cast<size_t>(end - level);
        const bool dotDot = length == 2 && level[0] == '.' && level[1] == '.';
        if (dotDot && levels.count > 0 && !(levels.length[levels.count - 1] == 2 &&
                                            strncmp(levels.start[levels.count - 1], "..", 2) == 0)) {
            --levels.count;  // climbs back over the level before it
        } else if (dotDot && absolute) {
            // Above the root is the root.
        } else if (length > 0 && !(length == 1 && level[0] == '.')) {
            if (levels.count == Levels::kMax)
                return false;
            levels.start[levels.count] = level;
            levels.length[levels.count++] = length;
        }
        level = *end ? end + 1 : end;
    }
    return true;
}

// Finds the entry of directory whose name matches name without regard to
// case. Returns 1 with the entry's name in found, 0 when there is none, 2
// when more than one matches.
int FindIgnoringCase(const char* directory, const char* name, size_t length, char* found, size_t foundSize)
{
    DIR* dir = opendir(directory[0] ? directory : ".");
    if (!dir)
        return 0;
    int matches = 0;
    while (const dirent* entry = readdir(dir)) {
        if (WindowsNames::SameNameIgnoringCase(entry->d_name, strlen(entry->d_name), name, length) &&
            ++matches == 1)
            CopyText(found, foundSize, entry->d_name);
    }
    closedir(dir);
    return matches > 1 ? 2 : matches;
}

}  // namespace

CNativePath::CNativePath(const char* path) : m_path{}, m_valid(false)
{
    char text[kSize];
    if (!path || !WindowsNames::AnsiToUtf8(path, text, sizeof text) || WindowsNames::HasDeviceName(path))
        return;
    const size_t textLength = strlen(text);
    const bool absolute = textLength > 0 && IsSeparator(text[0]);
    const bool closed = textLength > 0 && IsSeparator(text[textLength - 1]);
    static thread_local Levels levels;
    levels.count = 0;
    if (!SplitLevels(text, absolute, levels))
        return;

    // Each existing level is taken under its name on disk; from the first
    // level that does not exist on, the text is used as it is.
    CopyText(m_path, kSize, absolute ? "/" : "");
    bool lookingUp = true;
    for (size_t i = 0; i < levels.count; ++i) {
        char name[kSize];
        CopyText(name, sizeof name, "");
        strncat(name, levels.start[i], levels.length[i]);
        if (lookingUp) {
            struct stat info;
            char exact[kSize];
            if (!CopyText(exact, sizeof exact, m_path) || !AppendText(exact, sizeof exact, name))
                return;
            if (lstat(exact, &info) != 0) {
                char found[kSize];
                const int matches = errno == ENOENT ? FindIgnoringCase(m_path, name, strlen(name), found, sizeof found) : 0;
                if (matches == 2)
                    return;
                if (matches == 1) {
                    CopyText(name, sizeof name, found);
                    m_caseDiffers = true;
                } else {
                    lookingUp = false;
                }
            }
        }
        if (!AppendText(m_path, kSize, name) || (i + 1 < levels.count && !AppendText(m_path, kSize, "/")))
            return;
    }
    if (closed && levels.count > 0 && !AppendText(m_path, kSize, "/"))
        return;
    m_valid = true;
}

bool FromNativePath(const char* native, char* path, size_t size)
{
    if (!WindowsNames::Utf8ToAnsi(native, path, size))
        return false;
    for (char* c = path; *c; ++c) {
        if (*c == '/')
            *c = '\\';
    }
    return true;
}

#endif
