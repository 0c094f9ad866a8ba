#include "FileSystem.h"

#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "TextBuffer.h"
#include "WindowsNames.h"

namespace Platform {

namespace {

ShellOpener g_shellOpener = nullptr;

// Whether a level of path was found under a name that differs from its text:
// the system finds names whatever their case and tells each one's own.
bool NameCaseDiffers(const char* path)
{
    char prefix[MAX_PATH];
    for (const char* level = path; *level;) {
        const char* end = level;
        while (*end && !WindowsNames::IsSeparator(*end))
            ++end;
        const size_t length = static_cast<size_t>(end - level);
        const bool named = length > 0 && level[length - 1] != ':' && !(length <= 2 && level[0] == '.' && level[length - 1] == '.');
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

bool GetCurrentDir(char* buffer, size_t size)
{
    return _getcwd(buffer, static_cast<int>(size)) != nullptr;
}

bool ChangeDir(const char* path)
{
    return _chdir(path) == 0;
}

bool DirectoryExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDir(const char* path)
{
    return CreateDirectoryA(path, nullptr) != FALSE;
}

FileLookup LookUpFile(const char* path)
{
    if (!path || WindowsNames::HasDeviceName(path))
        return {FileKind::Special, false};
    // Opened for no access at all, which neither reads nor waits; a
    // directory opens with backup semantics.
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {FileKind::Missing, false};
    FileKind kind = FileKind::Special;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info))
        kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::File;
    CloseHandle(handle);
    return {kind, NameCaseDiffers(path)};
}

FILE* OpenRegularFile(const char* path)
{
    if (!path || WindowsNames::HasDeviceName(path))
        return nullptr;
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    // A pipe or a character device is not read: a pipe would wait.
    const int fd = GetFileType(handle) == FILE_TYPE_DISK
                       ? _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY)
                       : -1;
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE* file = _fdopen(fd, "rb");
    if (!file)
        _close(fd);
    return file;
}

bool CopyFileOverwrite(const char* source, const char* destination)
{
    // Windows' CopyFileA refuses to replace a read-only file; Wine's replaces
    // it. Refusing here first keeps Windows, Wine and POSIX alike.
    DWORD existing = GetFileAttributesA(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
        return false;
    return CopyFileA(source, destination, FALSE) != FALSE;
}

bool ShellOpen(const char* file)
{
    if (g_shellOpener)
        return g_shellOpener(file);
    // ShellExecuteA reports success with a value greater than 32.
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, file, file, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void SetShellOpener(ShellOpener opener)
{
    g_shellOpener = opener;
}

}  // namespace Platform
