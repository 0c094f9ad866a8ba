#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <ctime>
#include <unistd.h>
#include <unordered_set>

#include "platform/posix/FileCopy.h"
#include "platform/NativePath.h"
#include "text/Text.h"
#include "windowsnames/WindowsNames.h"
#include "platform/Shell.h"

extern char** environ;

namespace Platform {

namespace {

ShellOpener g_shellOpener = nullptr;

// The directories of this run that have been cleaned of killed runs'
// temporaries, or that it made, as native paths ("" or ending in "/"), and
// the one of them asked for last, which a run writes many files into in a
// row. Kept until the process ends, as the names are (NativePath.cpp).
struct CCleanedDirectories {
    std::unordered_set<std::string> directories;
    const std::string* last = nullptr;
};

CCleanedDirectories& CleanedDirectories()
{
    static CCleanedDirectories& cleaned = *new CCleanedDirectories;
    return cleaned;
}

// Removes from directory the temporaries of runs that have ended: regular
// files of the user's, with a temporary's name, which no process holds
// locked. A run holds its temporary's lock while it writes it, and the
// system lets go of it when the run ends, however it ends, whatever process-
// id namespace or machine (over NFS) the run is in. A temporary of another
// build (kivinstall.exe under Wine, whose locks are not the system's) is
// judged only by its age.
void RemoveStaleTemporaries(const char* directory)
{
    CCleanedDirectories& cleaned = CleanedDirectories();
    if (cleaned.last && *cleaned.last == directory)
        return;
    const auto added = cleaned.directories.insert(directory);
    cleaned.last = &*added.first;
    if (!added.second)
        return;
    DIR* dir = opendir(directory[0] ? directory : ".");
    if (!dir)
        return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const FoundTemporary temporary = ReadTemporaryName(entry->d_name, kNativeMark);
        if (!temporary.isTemporary)
            continue;
        const int file = openat(dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            continue;
        struct stat info;
        if (fstat(file, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            (temporary.ours || now - info.st_mtime >= kUnjudgedTemporarySeconds) && flock(file, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
        close(file);
    }
    closedir(dir);
}

// Whether the name at path still names the open file fd: a copy that failed
// removes only what it wrote, never what another run has put there since.
bool StillNames(const char* path, int fd)
{
    struct stat named, open;
    return lstat(path, &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// The process's umask, which a new file's permissions lose. It is read once:
// reading it means setting it, and nothing here changes it.
mode_t CreationMask()
{
    static const mode_t mask = [] {
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}

// Starts argv[0] detached: an intermediate child spawns it and exits at once,
// so nothing is left to wait for. Returns whether the spawn succeeded.
bool SpawnDetached(char* const argv[], bool searchPath)
{
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        pid_t grandchild;
        int rc = searchPath ? posix_spawnp(&grandchild, argv[0], nullptr, nullptr, argv, environ)
                            : posix_spawn(&grandchild, argv[0], nullptr, nullptr, argv, environ);
        // The reason travels back as the exit status: errno values fit it.
        _exit(rc);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const int error = WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
    errno = error;
    return error == 0;
}

// Opens a native path for reading when it names a regular file, with its
// status in info; -1 for anything else. Opened without blocking, so that a
// named pipe is refused instead of waiting for a writer forever; a regular
// file reads the same either way, so the flag stays.
int OpenRegular(const char* native, struct stat& info)
{
    int fd = open(native, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        // A directory, a pipe or a device: nothing a file can be copied from.
        const int error = S_ISDIR(info.st_mode) ? EISDIR : S_ISREG(info.st_mode) ? errno : EINVAL;
        close(fd);
        errno = error;
        fd = -1;
    }
    return fd;
}

}  // namespace

int LastError()
{
    return errno;
}

void DescribeError(int code, char* text, size_t size)
{
    char buffer[256];
    CopyText(text, size, strerror_r(code, buffer, sizeof buffer));
}

bool SaveCurrentDir(SavedDir& saved)
{
    return getcwd(saved.path, sizeof saved.path) != nullptr;
}

bool RestoreCurrentDir(const SavedDir& saved)
{
    return chdir(saved.path) == 0;
}

namespace {

// Runs call (on a native path; false with the reason in errno) on path as
// written (written: NativePathAsWritten's text of it), and only where that
// finds nothing (ENOENT, ENOTDIR) on the path as Windows' rules find it, in
// another letter case: most paths exist as written, and the system's own
// lookup is then the only one.
template <class Call>
bool OnPath(const char* path, const char* written, Call call)
{
    if (call(written))
        return true;
    const int error = errno;
    if (error != ENOENT && error != ENOTDIR)
        return false;
    CNativePath found(path);
    if (!found.IsValid()) {
        errno = found.Error();
        return false;
    }
    // The lookup that found no other spelling leaves the answer as it was.
    if (strcmp(found.Get(), written) == 0) {
        errno = error;
        return false;
    }
    return call(found.Get());
}

// The same, with path's written text made here.
template <class Call>
bool OnPath(const char* path, Call call)
{
    char written[CNativePath::kSize];
    return NativePathAsWritten(path, written) && OnPath(path, written, call);
}

// The type (S_IFMT bits) of what the path reaches, a link followed; 0 for
// nothing there. A path the lookup found missing, or saw as anything but a
// link, needs no second look.
unsigned ReachedType(const CNativePath& native)
{
    if (!native.IsValid() || !native.Exists())
        return 0;
    const unsigned seen = native.SeenType();
    if (seen != 0 && seen != S_IFLNK)
        return seen;
    struct stat info;
    return stat(native.Get(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

}  // namespace

bool ChangeDir(const char* path)
{
    return OnPath(path, [](const char* native) { return chdir(native) == 0; });
}

bool DirectoryExists(const char* path)
{
    return ReachedType(CNativePath(path)) == S_IFDIR;
}

bool MakeDir(const char* path)
{
    CNativePath native(path);
    if (!native.IsValid()) {
        errno = native.Error();
        return false;
    }
    if (mkdir(native.Get(), 0777) != 0)
        return false;
    NoteNativeEntryMade(native.Get(), true);
    // A directory the run made holds no temporaries of earlier runs.
    std::string made = native.Get();
    if (made.empty() || made.back() != '/')
        made += '/';
    CleanedDirectories().directories.insert(made);
    return true;
}

FileLookup LookUpFile(const char* path)
{
    if (!path || WindowsNames::HasDeviceName(path))
        return {FileKind::Special, false};
    CNativePath native(path);
    const unsigned type = ReachedType(native);
    if (type == 0)
        return {FileKind::Missing, false};
    const FileKind kind = type == S_IFREG ? FileKind::File : type == S_IFDIR ? FileKind::Directory : FileKind::Special;
    return {kind, native.CaseDiffers()};
}

FILE* OpenRegularFile(const char* path)
{
    CNativePath native(path);
    struct stat info;
    const int fd = native.IsValid() ? OpenRegular(native.Get(), info) : -1;
    FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (fd >= 0 && !file)
        close(fd);
    return file;
}

bool CopyFileOverwrite(const char* source, const char* destination)
{
    // A source that is no path is refused before anything of the destination.
    char written[CNativePath::kSize];
    if (!NativePathAsWritten(source, written))
        return false;
    CNativePath to(destination);
    if (!to.IsValid()) {
        errno = to.Error();
        return false;
    }

    // A file without write permission stands for a read-only file, which
    // Windows does not replace either (also not for an administrator).
    struct stat existing;
    const bool replaces = to.Exists() && stat(to.Get(), &existing) == 0;
    if (replaces && (S_ISDIR(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EACCES;
        return false;
    }

    // Only a regular file is copied; a pipe is never waited on.
    struct stat info;
    int in = -1;
    if (!OnPath(source, written, [&](const char* native) { return (in = OpenRegular(native, info)) >= 0; }))
        return false;

    // A new file is written in its place, as cp writes it: the directory
    // changes once, and a copy that fails, or that an interrupt ends, is
    // removed (CopyToNewFile). An existing file is replaced only by a
    // complete copy: the copy is written beside it under a short temporary
    // name of its own (a destination name up to the file system's limit
    // still has room), then renamed over it.
    char temporary[4096 + kTemporaryNameLength];
    const char* slash = strrchr(to.Get(), '/');
    const size_t directoryLength = slash ? static_cast<size_t>(slash - to.Get()) + 1 : 0;
    memcpy(temporary, to.Get(), directoryLength);
    temporary[directoryLength] = '\0';
    RemoveStaleTemporaries(temporary);
    const int mode = static_cast<int>(info.st_mode & 0777 & ~CreationMask());
    if (!replaces) {
        if (!CopyToNewFile(in, info, to.Get(), static_cast<mode_t>(mode)))
            return false;
        NoteNativeEntryMade(to.Get());
        return true;
    }
    // The temporary is locked while it is written (RemoveStaleTemporaries),
    // and still its own once locked: another run's cleaning may have taken
    // it between the two. A name that exists already gives way to the next.
    int out = -1;
    for (int tries = 0; tries < kTemporaryNameTries && out < 0; ++tries) {
        NextTemporaryName(kNativeMark, static_cast<unsigned long>(getpid()), temporary + directoryLength);
        out = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST)
            break;
        if (out >= 0 && (flock(out, LOCK_EX) != 0 || !StillNames(temporary, out))) {
            close(out);
            out = -1;
            errno = EEXIST;
        }
    }
    if (out < 0) {
        const int error = errno;
        close(in);
        errno = error;
        return false;
    }
    // The copy takes the source's permissions as a new file would: less the
    // umask, and never set-user-ID, set-group-ID or sticky. It keeps the
    // source's last-write time, as CopyFile does. A file that replaces
    // another reaches the disk before the rename, so that a power cut leaves
    // the old file or the new one. A new file is not flushed: ext4 protects
    // only a rename over an existing file, so after a power cut a new one may
    // be missing, or there but empty or cut short (FileSystem.h).
    // It is renamed, or removed, while still open and so still locked: no
    // other run's cleaning takes it first.
    bool copied = CopyInto(in, out, info, mode, true);
    int error = errno;
    if (copied && rename(temporary, to.Get()) == 0) {
        close(out);
        NoteNativeEntryMade(to.Get());
        return true;
    }
    if (copied)
        error = errno;
    unlink(temporary);
    close(out);
    errno = error;
    return false;
}

// No system here redirects a program's paths.
CNativeFileSystemView::CNativeFileSystemView() = default;
CNativeFileSystemView::~CNativeFileSystemView() = default;

void StartRun()
{
    CleanedDirectories().directories.clear();
    CleanedDirectories().last = nullptr;
}

bool ShellOpen(const char* file)
{
    if (g_shellOpener)
        return g_shellOpener(file);
    CNativePath native(file);
    if (!native.IsValid()) {
        errno = native.Error();
        return false;
    }
    char path[4096];
    CopyText(path, sizeof path, native.Get());

    struct stat info;
    if (stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, X_OK) == 0) {
        // A program runs directly, with its own path as the parameter text.
        char* argv[] = {path, path, nullptr};
        return SpawnDetached(argv, false);
    }
    char opener[] = "xdg-open";
    char* argv[] = {opener, path, nullptr};
    return SpawnDetached(argv, true);
}

void SetShellOpener(ShellOpener opener)
{
    g_shellOpener = opener;
}

}  // namespace Platform
