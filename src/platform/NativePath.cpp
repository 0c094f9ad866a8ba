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
    char normal[kSize];
    char text[kSize];
    m_error = ENAMETOOLONG;
    if (!path || WindowsNames::HasDeviceName(path)) {
        m_error = ENODEV;
        return;
    }
    if (!WindowsNames::NormalisePath(path, normal, sizeof normal) || !WindowsNames::AnsiToUtf8(normal, text, sizeof text))
        return;

    // Each existing level is taken under its name on disk; from the first
    // level that does not exist on, the text is used as it is.
    bool lookingUp = true;
    const char* level = text;
    if (*level == '\\') {
        CopyText(m_path, kSize, "/");
        ++level;
    }
    while (*level) {
        const char* end = strchr(level, '\\');
        const size_t length = end ? static_cast<size_t>(end - level) : strlen(level);
        char name[kSize];
        memcpy(name, level, length);
        name[length] = '\0';
        if (lookingUp) {
            char exact[kSize];
            struct stat info;
            if (!CopyText(exact, sizeof exact, m_path) || !AppendText(exact, sizeof exact, name))
                return;
            if (lstat(exact, &info) != 0) {
                char found[kSize];
                const int matches = errno == ENOENT ? FindIgnoringCase(m_path, name, length, found, sizeof found) : 0;
                if (matches == 2) {
                    m_error = ENOTUNIQ;
                    return;
                }
                lookingUp = matches == 1;
                if (lookingUp) {
                    CopyText(name, sizeof name, found);
                    m_caseDiffers = true;
                }
            }
        }
        if (!AppendText(m_path, kSize, name) || (end && !AppendText(m_path, kSize, "/")))
            return;
        level = end ? end + 1 : level + length;
    }
    m_error = 0;
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
