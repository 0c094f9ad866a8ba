// The operating system's file-system calls the installation engine makes, the same on both systems.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "platform/TemporaryName.h"

class CNativePath;

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

// A path's character as the system names files: UTF-16 on Windows, bytes
// elsewhere.
#ifdef _WIN32
using SystemChar = wchar_t;
#else
using SystemChar = char;
#endif

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

// How many copies a run may have under way at once, past the steps that
// began them: natively the data of new files is copied on helper threads
// while the run walks on; on Windows every copy ends within its step.
#ifdef _WIN32
constexpr size_t kCopiesUnderWay = 0;
#else
constexpr size_t kCopiesUnderWay = 16;
#endif

// What became of a copy when CCopyRun::Copy returned.
enum class CopyStart { Copied, Failed, UnderWay };

// The copies of one installation run, into the entry directories that its
// steps name in turn. One run at a time, from one thread: the run's walk.
//
// Each run's first copy into a directory cleans it of the temporaries of runs
// that have ended (CleanedDirectories.h records which). A run removes a
// temporary only when it can tell that its run has ended: natively, when no
// process holds the temporary's lock; on Windows, when its process is gone and
// the file can be opened for deletion, which a writer's handle refuses. A
// temporary it cannot judge (another build's, or a short one, which names no
// process) goes only once it has not been written for
// kUnjudgedTemporarySeconds.
class CCopyRun {
public:
    CCopyRun();
    ~CCopyRun();
    CCopyRun(const CCopyRun&) = delete;
    CCopyRun& operator=(const CCopyRun&) = delete;

    // Makes an entry directory's missing levels (MakePath, which the run
    // owns); returns the system's code for the first level that could not be
    // made, 0 when none.
    using MakeLevels = int (*)(const char* entryDir);

    // Readies entryDir for the copies into it. Whether it can be entered is
    // asked, and makeLevels makes it when it cannot. On Windows as the
    // installer has always asked: the current directory saved (_wgetcwd),
    // entryDir entered (_chdir), makeLevels when that fails, the saved one
    // restored; where the current directory does not fit the buffer, it is
    // never left and entryDir is only tested. Natively the current
    // directory never changes: entryDir, read by Windows' rules once, is
    // opened and held while the steps name it (and opened again once it has
    // been removed), and its files are created, copied and renamed relative
    // to it, each file name read by the rules alone. error receives
    // makeLevels' code (0
    // when it was not needed); false, with error the system's code, when the
    // current directory could not be restored (Windows): the copy must not
    // run.
    bool PrepareEntryDir(const char* entryDir, MakeLevels makeLevels, int& error);

    // Copies source to destPath, the entry directory just readied with the
    // file name joined on, as CopyFileOverwrite copies. Copied or Failed (with
    // LastError) when the copy has ended; UnderWay when it goes on, which
    // only a new file's copy does natively, and at most kCopiesUnderWay at
    // once: FinishOldest then gives its outcome, in the order the copies
    // began. Each copy meets the files of the others as one copy at a time
    // would: a destination that exists waits for every copy under way (it
    // may be one of them, or be taken away by one that fails); a source that
    // is a file under way is read once whole, and one that a later step's
    // copy made, or that a failed copy took away, is missing. Once a copy has
    // failed, the rest are copied one at a time.
    CopyStart Copy(const char* source, const char* destPath);

    // Waits for the oldest copy under way to end: true when it copied,
    // false with LastError when it failed.
    bool FinishOldest();

private:
    // Natively what the run holds: the entry directory, the copies under way
    // and the threads that copy; nothing on Windows.
    struct State;
    [[maybe_unused]] State* m_state = nullptr;
};

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
// native, when given, is CNativePath(path) made already: natively it spares
// the lookup a second walk (Windows looks by itself).
FileLookup LookUpFile(const char* path, const CNativePath* native = nullptr);

// Opens path for reading in binary mode when it names a regular file; null
// for anything else (missing, a directory, a pipe or a device).
FILE* OpenRegularFile(const char* path);

// Reads the whole of a regular file into malloc'd memory, with a NUL after
// its bytes (a NUL inside them stays); size receives the number of bytes.
// Null when the file does not open, is not read whole, or memory runs out.
char* ReadWholeFile(const char* path, size_t& size);

}  // namespace Platform
