#include "FileSystem.h"

#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "DesktopShell.h"
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

namespace {

// A name whose bytes are no characters of the code page is refused: the
// system would make some other character of them.
bool IsName(const char* path)
{
    if (CodePages::IsCodePageText(path))
        return true;
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

// Cancels CopyFileEx at its next progress report once the run is interrupted.
DWORD CALLBACK CancelWhenInterrupted(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                     HANDLE, HANDLE, LPVOID)
{
    return Interrupted() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

// Writes a file's data through to the disk, through a handle open for writing.
bool FlushToDisk(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Closing a handle keeps the error a failed flush set.
    const bool flushed = FlushFileBuffers(file) != FALSE;
    CloseHandle(file);
    return flushed;
}

// Whether the process id still runs: one that cannot be opened for another
// reason than its absence (another user's) is taken as running.
bool ProcessRuns(unsigned long id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

// The directories of this run that have been cleaned, each as a hash of its
// text: a table of fixed size, emptied when it is half full and when a run
// starts, so that a package's files in any order cost one search of their
// directory each.
constexpr size_t kCleanedSlots = 1024;
unsigned g_cleaned[kCleanedSlots];
size_t g_cleanedCount;
unsigned g_run = 1, g_cleanedRun;

// Whether the directory (length bytes) is cleaned already; it is from now on.
bool WasCleaned(const char* directory, size_t length)
{
    if (g_cleanedRun != g_run || g_cleanedCount == kCleanedSlots / 2) {
        memset(g_cleaned, 0, sizeof g_cleaned);
        g_cleanedCount = 0;
        g_cleanedRun = g_run;
    }
    unsigned hash = 2166136261u;
    for (size_t at = 0; at < length; ++at)
        hash = (hash ^ static_cast<unsigned char>(directory[at])) * 16777619u;
    hash |= 1;  // 0 marks a free slot
    size_t slot = hash % kCleanedSlots;
    for (; g_cleaned[slot] != 0; slot = (slot + 1) % kCleanedSlots) {
        if (g_cleaned[slot] == hash)
            return true;
    }
    g_cleaned[slot] = hash;
    ++g_cleanedCount;
    return false;
}

// Removes the temporaries of processes that no longer run from directory
// (length bytes, "" or ending in a separator or a colon): of every run, the
// first copy into a directory does. Neither a directory nor a link is one.
void RemoveStaleTemporaries(const char* directory, size_t length)
{
    char path[MAX_PATH];
    if (WasCleaned(directory, length) || !CopyText(path, sizeof path, directory) ||
        !AppendText(path, sizeof path, kTemporaryPrefix) || !AppendText(path, sizeof path, "*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        unsigned long process;
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            ReadTemporaryName(found.cFileName, process) && !ProcessRuns(process)) {
            memcpy(path + length, found.cFileName, kTemporaryNameLength + 1);
            // A copy of a read-only file is read-only.
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

void StartRun()
{
    ++g_run;
}

bool MakeDir(const char* path)
{
    return IsName(path) && CreateDirectoryA(path, nullptr) != FALSE;
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
    if (!IsName(source) || !IsName(destination))
        return false;
    // Windows refuses to replace a read-only file; Wine replaces it. Refusing
    // here first keeps Windows, Wine and POSIX alike, and a directory in the
    // way is refused before anything is written.
    DWORD existing = GetFileAttributesA(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The copy is written under a temporary name in the destination's
    // directory, then renamed over the destination: a copy cut short (the
    // process ended, the disk full, the drive gone) leaves the destination as
    // it was. A directory too long for the temporary's name gives way to the
    // nearest directory above it that fits, on the same volume, so that the
    // rename stays a rename.
    char temporary[MAX_PATH] = "";
    size_t length = 0;
    for (const char* at = destination; *at && static_cast<size_t>(at - destination) < MAX_PATH - kTemporaryNameLength;
         at = CodePages::NextCharacter(at)) {
        if (WindowsNames::IsSeparator(*at) || *at == ':')
            length = static_cast<size_t>(at - destination) + 1;
    }
    memcpy(temporary, destination, length);
    temporary[length] = '\0';
    RemoveStaleTemporaries(temporary, length);
    // CopyFileEx keeps the source's last-write time, and the rename keeps it
    // too. An interrupt cancels it, and one that comes too late for that (or
    // under Wine, which calls no progress routine) refuses the finished copy.
    // A name that exists already (left by a process of the same id) gives
    // way to the next.
    bool copied = false;
    for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
        NextTemporaryName(GetCurrentProcessId(), temporary + length);
        copied = CopyFileExA(source, temporary, CancelWhenInterrupted, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS);
        if (copied || GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    const bool interrupted = Interrupted();
    DWORD error = interrupted ? ERROR_REQUEST_ABORTED : GetLastError();
    // The copy took the source's attributes, and a read-only file can neither
    // be opened for its flush nor deleted: they are put back just before the
    // rename. A copy that replaces a file is flushed before the rename; the
    // rename's MOVEFILE_WRITE_THROUGH waits only for a move across volumes. A
    // new file is not flushed (FileSystem.h).
    const DWORD attributes = GetFileAttributesA(temporary);
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    if (copied && !interrupted) {
        if ((existing == INVALID_FILE_ATTRIBUTES || FlushToDisk(temporary)) &&
            SetFileAttributesA(temporary, attributes) &&
            MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
    }
    // Nothing is left behind, and the caller still reads why the copy failed.
    // A read-only temporary (a copy of a read-only file) cannot be deleted.
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary);
    SetLastError(error);
    return false;
}

bool ShellOpen(const char* file)
{
    if (g_shellOpener)
        return g_shellOpener(file);
    if (!IsName(file))
        return false;
    // What an elevated installer starts runs as the user who started it.
    if (OpenAsDesktopUser(file))
        return true;
    // ShellExecuteA's call (no verb, the file as its parameter text, no
    // directory, shown normally), in the form that waits until the shell has
    // handed the file over: a tool may end right after its opens, and work
    // the shell leaves to this thread would end with it.
    SHELLEXECUTEINFOA open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOASYNC;
    open.lpFile = file;
    open.lpParameters = file;
    open.nShow = SW_SHOW;
    return ShellExecuteExA(&open) != FALSE;
}

void SetShellOpener(ShellOpener opener)
{
    g_shellOpener = opener;
}

}  // namespace Platform
