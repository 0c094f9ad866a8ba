#include "NativePath.h"

#include <cstring>

#ifdef _WIN32

CNativePath::CNativePath(const char* path) : m_path(path), m_valid(path != nullptr) {}

void FromNativePath(char*) {}

#else

CNativePath::CNativePath(const char* path) : m_path{}, m_valid(false)
{
    if (!path || strlen(path) >= kSize)
        return;
    size_t i = 0;
    for (; path[i]; ++i)
        m_path[i] = path[i] == '\\' ? '/' : path[i];
    m_path[i] = '\0';
    m_valid = true;
}

void FromNativePath(char* path)
{
    for (; *path; ++path) {
        if (*path == '/')
            *path = '\\';
    }
}

#endif
