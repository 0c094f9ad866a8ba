// LookUpFile on Windows: what a path names, and under which name. Kept apart
// from the installer's own calls, which need none of it.
#include <cstring>
#include <windows.h>

#include "platform/Platform.h"
#include "windowsnames/WindowsNames.h"

namespace Platform {

namespace {

// Whether a level of path was found under a name that differs from its text:
// the system finds names whatever their case and tells each one's own.
bool NameCaseDiffers(const char* path)
{
    char prefix[MAX_PATH];
    for (const char* level = path; *level;) {
        const char* end = level;
        const char* last = level;
        while (*end && !WindowsNames::IsSeparator(*end)) {
            last = end;
            end = CodePages::NextCharacter(end);
        }
        const size_t length = static_cast<size_t>(end - level);
        const bool named = length > 0 && *last != ':' && !(length <= 2 && level[0] == '.' && *last == '.');
        const size_t prefixLength = static_cast<size_t>(end - path);
        if (named && prefixLength < sizeof prefix) {
            memcpy(prefix, path, prefixLength);
            prefix[prefixLength] = '\0';
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA(prefix, &found);
            if (search != INVALID_HANDLE_VALUE) {
                FindClose(search);
                if (strlen(found.cFileName) == length && memcmp(found.cFileName, level, length) != 0)
                    return true;
            }
        }
        level = *end ? end + 1 : end;
    }
    return false;
}

}  // namespace

FileLookup LookUpFile(const char* path, const CNativePath*)
{
    if (!path || WindowsNames::HasDeviceName(path))
        return {FileKind::Special, false};
    // Opened for no access at all, which neither reads nor waits; a
    // directory opens with backup semantics.
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {FileKind::Missing, false};
    FileKind kind = FileKind::Special;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info))
        kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::File;
    CloseHandle(handle);
    return {kind, NameCaseDiffers(path)};
}

}  // namespace Platform
