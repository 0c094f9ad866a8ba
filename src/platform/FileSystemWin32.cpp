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
}

int LastError()
{
    return static_cast<int>(GetLastError());
}

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
    // A device name (COM1, NUL) is no file: reading a port could wait forever.
    if (WindowsNames::HasDeviceName(source) || WindowsNames::HasDeviceName(destination)) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // Windows' CopyFileA refuses to replace a read-only file; Wine's replaces
    // it. Refusing here first keeps Windows, Wine and POSIX alike.
    DWORD existing = GetFileAttributesA(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
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
