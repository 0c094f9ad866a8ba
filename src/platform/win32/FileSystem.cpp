#include "platform/Platform.h"

#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/CleanedDirectories.h"
#include "platform/win32/DesktopShell.h"
#include "platform/TemporaryName.h"
#include "text/Text.h"
#include "windowsnames/WindowsNames.h"
#include "platform/Interrupt.h"
#include "platform/win32/CopyProgress.h"
#include "platform/Shell.h"

namespace Platform {

namespace {
// Set by a test before a run, read by the thread that opens: not thread-safe.
ShellOpener g_shellOpener = nullptr;
}  // namespace

int LastError() { return static_cast<int>(GetLastError()); }

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

// Whether the process of that id that made a file at made still runs: one
// that cannot be opened for another reason than its absence (another
// user's) is taken as running. A process of the id that started after the
// file was made is another one, which took the id once it came free (Wine
// gives the same few ids again and again).
bool ProcessRuns(unsigned long id, const FILETIME& made)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    FILETIME started, exited, kernel, user;
    const bool runs =
        WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
        !(GetProcessTimes(process, &started, &exited, &kernel, &user) && CompareFileTime(&started, &made) > 0);
    CloseHandle(process);
    return runs;
}

// Whether a file was last written at least seconds ago.
bool WrittenBefore(const FILETIME& written, long long seconds)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<long long>(static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    };
    return ticks(now) - ticks(written) >= seconds * 10000000;
}

// Removes a temporary whose run has ended: one that can be opened for
// deletion, which the handle of a copy still writing it refuses, goes when
// that handle closes. A copy of a read-only file is read-only, which the
// deletion would refuse: the attribute goes first, and comes back when the
// file stays.
void RemoveEnded(const char* path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(path, DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    else if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes);
}

// Removes from directory (length bytes, "" or ending in a separator or a
// colon) the temporaries of runs that have ended: of every run, the first
// copy into a directory does, the directory's text its key in the record
// (CleanedDirectories.h). Neither a directory nor a link is one.
void RemoveStaleTemporaries(const char* directory, size_t length)
{
    // The temporaries' names all begin alike; where even that pattern would
    // not fit the path limit, every name is looked at.
    char path[MAX_PATH];
    if (!FirstCleaning(directory, length) || !CopyText(path, sizeof path, directory))
        return;
    if (!AppendText(path, sizeof path, kTemporaryPrefix) || !AppendText(path, sizeof path, "*")) {
        path[length] = '\0';
        AppendText(path, sizeof path, "*");
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const FoundTemporary temporary = ReadTemporaryName(found.cFileName, kWindowsMark);
        if (!temporary.isTemporary ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        // A temporary of this build with its process id is judged by it; any
        // other only by its age.
        const bool ended = temporary.ours && temporary.hasProcess
                               ? !ProcessRuns(temporary.process, found.ftCreationTime)
                               : WrittenBefore(found.ftLastWriteTime, kUnjudgedTemporarySeconds);
        if (ended && length + strlen(found.cFileName) < sizeof path) {
            memcpy(path + length, found.cFileName, strlen(found.cFileName) + 1);
            RemoveEnded(path, found.dwFileAttributes);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The current directory, in UTF-16 (_wgetcwd), which holds every name the
// system can, where the code page cannot write some of them.
struct SavedDir {
    wchar_t path[MAX_PATH];
};

bool SaveCurrentDir(SavedDir& saved) { return _wgetcwd(saved.path, MAX_PATH) != nullptr; }

bool RestoreCurrentDir(const SavedDir& saved) { return _wchdir(saved.path) == 0; }

}  // namespace

CCopyRun::CCopyRun() { ForgetCleanedDirectories(); }

CCopyRun::~CCopyRun() = default;

bool CCopyRun::PrepareEntryDir(const char* entryDir, MakeLevels makeLevels, int& error)
{
    // The entry directory is entered to test it, and its levels made when it
    // cannot be entered. The current directory is always put back, since
    // relative source and destination paths are resolved against it.
    error = 0;
    SavedDir saved;
    if (!SaveCurrentDir(saved)) {
        // A current directory that does not fit the buffer could not be
        // restored, so it is not left: the entry directory is tested in place.
        if (!DirectoryExists(entryDir))
            error = makeLevels(entryDir);
        return true;
    }
    if (_chdir(entryDir) != 0)
        error = makeLevels(entryDir);
    if (!RestoreCurrentDir(saved)) {
        error = LastError();
        return false;
    }
    return true;
}

CopyStart CCopyRun::Copy(const char* source, const char* destPath)
{
    return CopyFileOverwrite(source, destPath) ? CopyStart::Copied : CopyStart::Failed;
}

// No copy goes on past its step here (kCopiesUnderWay).
bool CCopyRun::FinishOldest() { return false; }

bool MakeDir(const char* path) { return IsName(path) && CreateDirectoryA(path, nullptr) != FALSE; }

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
    if (strlen(destination) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    // Windows refuses to replace a read-only file; Wine replaces it. Refusing
    // here first keeps Windows, Wine and POSIX alike, and a directory in the
    // way is refused before anything is written.
    DWORD existing = GetFileAttributesA(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The copy is written under a temporary name in the destination's own
    // directory, then renamed over the destination: a copy cut short (the
    // process ended, the disk full, the drive gone) leaves the destination as
    // it was. Where the usual name does not fit the path limit beside the
    // destination, a short one does whenever it is no longer than the
    // destination's own name; where neither fits, the copy goes straight
    // onto the destination, as CopyFileA copies.
    size_t length = 0;
    for (const char* at = destination; *at; at = CodePages::NextCharacter(at)) {
        if (WindowsNames::IsSeparator(*at) || *at == ':')
            length = static_cast<size_t>(at - destination) + 1;
    }
    const size_t nameLength = strlen(destination) - length;
    const bool usual = length + kTemporaryNameLength < MAX_PATH;
    const bool viaTemporary =
        usual || (length + kShortTemporaryNameLength < MAX_PATH && kShortTemporaryNameLength <= nameLength);
    char temporary[MAX_PATH];
    memcpy(temporary, destination, length);
    temporary[length] = '\0';
    RemoveStaleTemporaries(temporary, length);
    if (!viaTemporary)
        return CopyFileExA(source, destination, CancelWhenInterrupted, nullptr, nullptr, 0) != FALSE;
    // CopyFileEx keeps the source's last-write time, and the rename keeps it
    // too. An interrupt cancels it, and one that comes too late for that (or
    // under Wine, which calls no progress routine) refuses the finished copy.
    // A name that exists already (left by a process of the same id, or a
    // short one another run took) gives way to the next.
    bool copied = false;
    for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
        if (usual)
            NextTemporaryName(kWindowsMark, GetCurrentProcessId(), temporary + length);
        else
            NextShortTemporaryName(kWindowsMark, temporary + length);
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
    // new file is not flushed (Platform.h).
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
    // A file that is not there is handed to no shell, whose answer would be
    // an error box of its own: a failed open passes silently.
    if (GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES)
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
    open.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    open.lpFile = file;
    open.lpParameters = file;
    open.nShow = SW_SHOW;
    return ShellExecuteExA(&open) != FALSE;
}

void SetShellOpener(ShellOpener opener) { g_shellOpener = opener; }

}  // namespace Platform
