// The operating system's file-system calls the installation engine makes, the same on both systems.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "platform/TemporaryName.h"

// All paths are written with backslashes as separators; relative ones are
// resolved against the current directory of the process.
namespace Platform {

// The system's code for why the last call on this thread failed (errno, or
// GetLastError on Windows). Every call below that fails sets it, but for
// OpenRegularFile and ReadWholeFile, whose callers need only know that the
// file could not be read, and which leave it as the system left it.
int LastError();

// The system's code for memory that ran out.
#ifdef _WIN32
constexpr int kOutOfMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY
#else
constexpr int kOutOfMemory = ENOMEM;
#endif
// ... and for a read that failed without a code of its own.
#ifdef _WIN32
constexpr int kReadFailed = 30;  // ERROR_READ_FAULT
#else
constexpr int kReadFailed = EIO;
#endif

// The system's own message for an error code, in the system's form, cut to
// fit size bytes.
void DescribeError(int code, char* text, size_t size);

// The current directory, kept in the system's own text so that it is never
// lost: on Windows in UTF-16 (_wgetcwd), which holds every name the system
// can, where the code page cannot write some of them; natively the
// system's path. SaveCurrentDir is false when it does not fit.
#ifdef _WIN32
using SystemChar = wchar_t;
constexpr size_t kSavedDirSize = 260;
#else
using SystemChar = char;
constexpr size_t kSavedDirSize = 4096;
#endif
struct SavedDir {
    SystemChar path[kSavedDirSize];
};
bool SaveCurrentDir(SavedDir& saved);
bool RestoreCurrentDir(const SavedDir& saved);

// Makes path the current directory (_chdir); false when it cannot be entered.
bool ChangeDir(const char* path);

// True when path names an existing directory.
bool DirectoryExists(const char* path);

// Creates one directory whose parent exists; false when it was not created.
bool MakeDir(const char* path);

// Copies source to destination, replacing an existing file only with a
// complete copy: it is written under a temporary name in the destination's
// own directory (TemporaryName.h) and renamed over it. A failed copy, also one
// an interrupt ends, leaves no partial file behind, and never removes a file
// it did not write. A new file is written under a temporary name too on
// Windows, and in its place natively (as cp writes it: one change of the
// directory instead of two), so that there a process killed outright can
// leave it cut short under its name. On Windows, where the directory is so
// long that no temporary's name fits the path limit beside the destination,
// the copy is made as CopyFileA makes it, straight onto the destination. A
// device name (NUL, COM1, ...) on either side is refused, as no file. A copy
// that replaces a file is flushed to the disk before the rename, so that
// after a power cut the destination holds the old file or the new one. A new
// file is not flushed (a flush per file takes an install about twice as
// long, see docs/performance.md): after a power cut it may be missing, or
// there but empty or cut short (ext4), or read as zeros where its data had
// not reached the disk (NTFS).
bool CopyFileOverwrite(const char* source, const char* destination);

// Copies the regular file source to destination, a file that must not exist
// yet, both named as the system names them (std::filesystem::path::c_str():
// UTF-16 on Windows), with the engine's own copy: every byte, the source's
// last-write time, an interrupt that ends it, and nothing left at destination
// when it fails. Natively CopyNewFile (posix/FileCopy.h); on Windows
// CopyFileEx, as CopyFileOverwrite copies. For kivpack, whose paths are the
// system's own.
bool CopyNewSystemFile(const SystemChar* source, const SystemChar* destination);

// While it lives, the calling thread reaches the file system as it is: a
// 32-bit program on 64-bit Windows, whose paths under %windir%\System32 the
// system otherwise sends to SysWOW64, then writes where the user chose. Held
// around the file-system calls of one copy step and nothing else: while it
// lives the thread loads no DLL, which would come from the wrong System32.
// Elsewhere it changes nothing.
class CNativeFileSystemView {
public:
    CNativeFileSystemView();
    ~CNativeFileSystemView();
    CNativeFileSystemView(const CNativeFileSystemView&) = delete;
    CNativeFileSystemView& operator=(const CNativeFileSystemView&) = delete;

private:
    // Used on Windows only.
    [[maybe_unused]] void* m_saved = nullptr;
    [[maybe_unused]] bool m_active = false;
};

// A run's copies start: each directory they write into is cleaned, once, at
// its first copy, of the temporaries of runs that have ended. A run removes a
// temporary only when it can tell that its run has ended: natively, when no
// process holds the temporary's lock; on Windows, when its process is gone
// and the file can be opened for deletion, which a writer's handle refuses.
// A temporary it cannot judge (another build's, or a short one, which names
// no process) goes only once it has not been written for
// kUnjudgedTemporarySeconds.
void StartRun();

// What a path names. Special is anything that is neither a file nor a
// directory: a pipe, a device, a socket, and any name Windows keeps for a
// device (NUL, CON, COM1, ...), which names no file on any system.
enum class FileKind { Missing, File, Directory, Special };

struct FileLookup {
    FileKind kind;
    // The path was found under a name that differs from its text in letter
    // case, as Windows finds it: a case-sensitive file system would not.
    bool caseDiffers;
};

// Looks path up without opening it for reading, so a pipe is never waited on.
FileLookup LookUpFile(const char* path);

// Opens path for reading in binary mode when it names a regular file; null
// for anything else (missing, a directory, a pipe or a device).
FILE* OpenRegularFile(const char* path);

// Reads the whole of a regular file into malloc'd memory, with a NUL after
// its bytes (a NUL inside them stays); size receives the number of bytes.
// Null when the file does not open, is not read whole, or memory runs out.
char* ReadWholeFile(const char* path, size_t& size);

}  // namespace Platform
