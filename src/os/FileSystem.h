// The few operating-system calls the installation engine makes.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdio>

// All paths are written with backslashes as separators; relative ones are
// resolved against the current directory of the process.
namespace Platform {

// The system's code for why the last call on this thread failed (errno, or
// GetLastError on Windows). Every call below that fails sets it.
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

// Fills buffer with the current directory (_getcwd); false when it does not fit.
bool GetCurrentDir(char* buffer, size_t size);

// Makes path the current directory (_chdir); false when it cannot be entered.
bool ChangeDir(const char* path);

// True when path names an existing directory.
bool DirectoryExists(const char* path);

// Creates one directory whose parent exists; false when it was not created.
bool MakeDir(const char* path);

// Copies source to destination, replacing an existing file only with a
// complete copy: it is written under a temporary name beside it and renamed
// over it. A failed copy, also one an interrupt ends, leaves no partial file
// behind. A new file is written under a temporary name too on Windows, and in
// its place natively (as cp writes it: one change of the directory instead
// of two), so that there a process killed outright can leave it cut short
// under its name. A device name (NUL,
// COM1, ...) on either side is refused, as no file. A copy that replaces a
// file is flushed to the disk before the rename, so that after a power cut
// the destination holds the old file or the new one. A new file is not
// flushed (a flush per file takes an install about twice as long, see
// docs/performance.md): after a power cut it may be missing, or there but
// empty or cut short (ext4), or read as zeros where its data had not
// reached the disk (NTFS).
bool CopyFileOverwrite(const char* source, const char* destination);

// What a copy writes to before it takes the destination's name, beside it:
// ".kivtmp.", the writing process's id and a number of the process's own, in
// eight and six hexadecimal digits (".kivtmp.00001f2c.00002a"). The same form
// on every system, so that a later run can tell a temporary that a killed
// run left from a file of the user's: the first copy of a run into a
// directory removes the regular files of this form there whose process no
// longer runs (StartRun).
constexpr char kTemporaryPrefix[] = ".kivtmp.";
constexpr size_t kTemporaryNameLength = 23;
// Writes the name of the process id's next temporary into out (room for
// kTemporaryNameLength + 1 bytes); each call gives another name. Called from
// one thread at a time. A copy whose name exists already (left by an earlier
// process of the same id) tries the next, kTemporaryNameTries names in all.
constexpr int kTemporaryNameTries = 16;
void NextTemporaryName(unsigned long process, char* out);
// True when name (one level) is a temporary's, with its process id in process.
bool ReadTemporaryName(const char* name, unsigned long& process);

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
    void* m_saved = nullptr;
    bool m_active = false;
};

// A run's copies start: each directory they write into is cleaned of the
// temporaries of runs that no longer run, once, at its first copy.
void StartRun();

// From now on, an interrupt (Ctrl-C, or SIGINT and SIGTERM on POSIX systems)
// no longer ends the process at once: it calls Interrupt().
void StopCopiesOnInterrupt();

// Ends the copy under way and tells the caller to take no further step:
// Interrupted() is true from now on. Callable from any thread and from a
// signal handler. The copy stops between two of its 64 KiB blocks (on Windows
// at CopyFileEx's next progress report; Wine sends none, so there it stops
// when the data is copied), fails with EINTR or ERROR_REQUEST_ABORTED, removes
// its temporary and leaves the destination as it was.
void Interrupt();
bool Interrupted();

// Takes an interrupt back, for a test that interrupts a copy in a process that
// goes on; a run that was interrupted ends instead.
void ClearInterrupt();

// Starts the default action on a file with the file itself as the parameter
// text (ShellExecuteA, SW_SHOW) and does not wait for it. On Windows, when
// the program runs elevated, through the desktop shell, as the user who
// started it (DesktopShell.h); the thread must have COM and live on.
bool ShellOpen(const char* file);

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

// A text file as a control shows it (the licence in the dialog, kivinstall
// and kivcheck): the whole file as ReadWholeFile reads it, of which only the
// bytes before the first NUL byte are shown; shown receives their number.
char* ReadShownText(const char* path, size_t& shown, size_t& size);

// Replaces ShellOpen's work, so tests can record what would be opened.
// Pass nullptr to go back to the real call.
using ShellOpener = bool (*)(const char* file);
void SetShellOpener(ShellOpener opener);

}  // namespace Platform
