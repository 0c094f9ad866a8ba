#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <ctime>
#include <unistd.h>

#include "platform/CleanedDirectories.h"
#include "platform/posix/CopyWorkers.h"
#include "platform/posix/DirectoryEntries.h"
#include "platform/posix/FileCopy.h"
#include "platform/NativePath.h"
#include "text/Text.h"
#include "windowsnames/WindowsNames.h"
#include "platform/Shell.h"

extern char** environ;

namespace Platform {

namespace {

// Set by a test before a run, read by the thread that opens: not thread-safe.
ShellOpener g_shellOpener = nullptr;

// How a copy holds the directory it writes into, for the calls relative to
// it (openat, renameat, fstatat, unlinkat): by a descriptor that is no open
// of its listing, so that a directory the user may enter and not read is
// held as well as one that is entered.
constexpr int kHeldDirectoryFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// A new file that a helper fills is made for its owner alone: its source,
// and so its permissions, are only known to the helper.
constexpr mode_t kNewFileMode = 0600;

// Removes from the directory held open as directory the temporaries of runs
// that have ended: regular files of the user's, with a temporary's name,
// which no process holds locked. A run holds its temporary's lock while it
// writes it, and the system lets go of it when the run ends, however it ends,
// whatever process-id namespace or machine (over NFS) the run is in. A
// temporary of another build (kivinstall.exe under Wine, whose locks are not
// the system's) is judged only by its age.
void RemoveStaleTemporaries(int directory)
{
    const int listed = OpenDirectoryForListing(directory, ".");
    if (listed < 0)
        return;
    const time_t now = time(nullptr);
    ForEachDirectoryEntry(listed, [&](const char* name, unsigned char) {
        const FoundTemporary temporary = ReadTemporaryName(name, kNativeMark);
        if (!temporary.isTemporary)
            return;
        const int file = openat(listed, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            return;
        struct stat info;
        if (fstat(file, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            (temporary.ours || now - info.st_mtime >= kUnjudgedTemporarySeconds) && flock(file, LOCK_EX | LOCK_NB) == 0)
            unlinkat(listed, name, 0);
        close(file);
    });
    close(listed);
}

// Whether the directory of this status is cleaned for the first time in this
// run: natively a directory's key is its device and inode numbers.
bool FirstCleaningOf(const struct stat& directory)
{
    const unsigned long long key[2] = {directory.st_dev, directory.st_ino};
    return FirstCleaning(key, sizeof key);
}

// Whether name in directory still names the open file fd: a copy that failed
// removes only what it wrote, never what another run has put there since.
bool StillNames(int directory, const char* name, int fd)
{
    struct stat named, open;
    return fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && fstat(fd, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
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

int LastError() { return errno; }

void DescribeError(int code, char* text, size_t size)
{
    char buffer[256];
    CopyText(text, size, strerror_r(code, buffer, sizeof buffer));
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

bool DirectoryExists(const char* path) { return ReachedType(CNativePath(path)) == S_IFDIR; }

bool MakeDir(const char* path)
{
    CNativePath native(path);
    if (!native.IsValid()) {
        errno = native.Error();
        return false;
    }
    if (mkdir(native.Get(), 0777) != 0)
        return false;
    // A directory the run made is empty, and holds no temporaries of earlier
    // runs to clean.
    struct stat made;
    const bool known = stat(native.Get(), &made) == 0;
    NoteNativeEntryMade(native.Get(), known ? &made : nullptr);
    if (known)
        FirstCleaningOf(made);
    return true;
}

FileLookup LookUpFile(const char* path, const CNativePath* native)
{
    if (!native) {
        const CNativePath found(path);
        return LookUpFile(path, &found);
    }
    // A device name on any level (or no path) makes native no path, and
    // native tells why; the name need not be read again.
    if (native->Error() == ENODEV)
        return {FileKind::Special, false};
    const unsigned type = ReachedType(*native);
    if (type == 0)
        return {FileKind::Missing, false};
    const FileKind kind = type == S_IFREG ? FileKind::File : type == S_IFDIR ? FileKind::Directory : FileKind::Special;
    return {kind, native->CaseDiffers()};
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

namespace {

// Whether a destination that exists (its status) is refused: a directory, or
// a file without write permission, which stands for a read-only file, which
// Windows does not replace either (also not for an administrator).
bool RefusesCopy(const struct stat& existing)
{
    if (!S_ISDIR(existing.st_mode) && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
        return false;
    errno = S_ISDIR(existing.st_mode) ? EISDIR : EACCES;
    return true;
}

// Opens source (written: its text as written) for reading when it is a
// regular file; -1 otherwise. A pipe is never waited on.
int OpenSource(const char* source, const char* written, struct stat& info)
{
    int in = -1;
    OnPath(source, written, [&](const char* native) { return (in = OpenRegular(native, info)) >= 0; });
    return in;
}

// The permissions a copy of a file of this status takes, as a new file
// would: less the umask, and never set-user-ID, set-group-ID or sticky.
mode_t CopyMode(const struct stat& info) { return info.st_mode & 0777 & ~CreationMask(); }

// Replaces the file name in the directory held open as directory with a
// complete copy of the open source in (its status in info), and closes in:
// the copy is written beside it under a temporary name of its own (a name
// up to the file system's limit still has room), flushed, then renamed over
// it.
bool ReplaceFile(int directory, const char* name, int in, const struct stat& info)
{
    // The temporary is locked while it is written (RemoveStaleTemporaries),
    // and still its own once locked: another run's cleaning may have taken
    // it between the two. A name that exists already gives way to the next.
    char temporary[kTemporaryNameLength + 1];
    int out = -1;
    for (int tries = 0; tries < kTemporaryNameTries && out < 0; ++tries) {
        NextTemporaryName(kNativeMark, static_cast<unsigned long>(getpid()), temporary);
        out = openat(directory, temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST)
            break;
        if (out >= 0 && (flock(out, LOCK_EX) != 0 || !StillNames(directory, temporary, out))) {
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
    // The copy keeps the source's last-write time, as CopyFile does. A file
    // that replaces another reaches the disk before the rename, so that a
    // power cut leaves the old file or the new one. A new file is not
    // flushed: ext4 protects only a rename over an existing file, so after a
    // power cut a new one may be missing, or there but empty or cut short
    // (Platform.h). It is renamed, or removed, while still open and so still
    // locked: no other run's cleaning takes it first.
    bool copied = CopyInto(in, out, info, static_cast<int>(CopyMode(info)), true);
    int error = errno;
    if (copied && renameat(directory, temporary, directory, name) == 0) {
        close(out);
        return true;
    }
    if (copied)
        error = errno;
    unlinkat(directory, temporary, 0);
    close(out);
    errno = error;
    return false;
}

// Copies the open source in (its status in info) to name in the directory
// held open as directory, whose path is native: over the file there when
// replaces, else as a new file written in its place, as cp writes it (the
// directory changes once, and a copy that fails is removed).
bool CopyToDirectory(int directory, const char* native, const char* name, bool replaces, int in,
                     const struct stat& info)
{
    if (replaces ? !ReplaceFile(directory, name, in, info) : !CopyToNewFile(in, info, directory, name, CopyMode(info)))
        return false;
    NoteNativeNameMade(native, name);
    return true;
}

}  // namespace

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
    struct stat existing;
    const bool replaces = to.Exists() && stat(to.Get(), &existing) == 0;
    if (replaces && RefusesCopy(existing))
        return false;
    struct stat info;
    const int in = OpenSource(source, written, info);
    if (in < 0)
        return false;

    // The destination's directory, held for the copy, and cleaned if it is
    // the run's first copy into it.
    const char* slash = strrchr(to.Get(), '/');
    const std::string native(to.Get(), slash ? static_cast<size_t>(slash - to.Get()) + 1 : 0);
    const char* name = to.Get() + native.size();
    const int directory = *name ? open(native.empty() ? "." : native.c_str(), kHeldDirectoryFlags) : -1;
    if (directory < 0) {
        // A destination that ends with a separator names no file.
        const int error = *name ? errno : EISDIR;
        close(in);
        errno = error;
        return false;
    }
    struct stat held;
    if (fstat(directory, &held) == 0 && FirstCleaningOf(held))
        RemoveStaleTemporaries(directory);
    const bool copied = CopyToDirectory(directory, native.c_str(), name, replaces, in, info);
    const int error = errno;
    close(directory);
    errno = error;
    return copied;
}

// No system here redirects a program's paths.
CNativeFileSystemView::CNativeFileSystemView() = default;
CNativeFileSystemView::~CNativeFileSystemView() = default;

namespace {

// The entry directory a run holds open while its steps name it, and for as
// long as a copy into it goes on.
struct HeldDirectory {
    int descriptor = -1;
    // The run's hold and each copy under way: closed when the last lets go.
    int holders = 1;
    // The entry directory as the run names it, and its path in the system's
    // form, ending with "/".
    std::string text;
    std::string native;
    // Whether the run's file names join its text as names of their own: the
    // text ends with a backslash.
    bool joinsNames = false;
    struct stat status;
    bool cleaned = false;
};

void LetGo(HeldDirectory* held)
{
    if (held && --held->holders == 0) {
        close(held->descriptor);
        delete held;
    }
}

// Opens entryDir, read by Windows' rules, to hold it; null when it is no
// directory that can be opened.
HeldDirectory* Hold(const char* entryDir)
{
    int descriptor = -1;
    std::string native;
    const bool opened = OnPath(entryDir, [&](const char* path) {
        descriptor = open(path, kHeldDirectoryFlags);
        native = path;
        return descriptor >= 0;
    });
    struct stat status;
    if (!opened || fstat(descriptor, &status) != 0) {
        if (opened)
            close(descriptor);
        return nullptr;
    }
    HeldDirectory* held = new HeldDirectory;
    held->descriptor = descriptor;
    held->text = entryDir;
    held->native = native.empty() || native.back() != '/' ? native + "/" : native;
    held->joinsNames = CodePages::EndsWithBackslash(entryDir);
    held->status = status;
    return held;
}

// Whether name is one level of a path: no separator, neither empty nor "."
// or "..".
bool IsOneLevel(const char* name)
{
    if (!*name || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return false;
    for (const char* at = name; *at; at = CodePages::NextCharacter(at)) {
        if (WindowsNames::IsSeparator(*at))
            return false;
    }
    return true;
}

// Fills a new file on whichever thread takes it: its source opened (a pipe
// is never waited on) and read as the walk's order has it, copied with its
// last-write time and, the file being made for its owner alone, the
// source's permissions; a failure removes the file made for it.
void FillUnderWay(NewFileCopy& copy, CCopyWorkers& workers)
{
    struct stat info;
    int in = OpenSource(copy.source.c_str(), copy.written.c_str(), info);
    if (in >= 0 && !workers.SourceInOrder(copy, in, info)) {
        const int error = errno;
        close(in);
        errno = error;
        in = -1;
    }
    if (in < 0) {
        copy.error = errno;
        copy.removed = AbandonNewFile(copy.out, copy.directory, copy.name.c_str(), copy.made);
        return;
    }
    const mode_t mode = CopyMode(info);
    copy.copied =
        FillNewFile(in, copy.out, info, mode == (kNewFileMode & ~CreationMask()) ? -1 : static_cast<int>(mode),
                    copy.directory, copy.name.c_str(), copy.made, copy.removed);
    copy.error = copy.copied ? 0 : errno;
}

}  // namespace

struct CCopyRun::State {
    HeldDirectory* held = nullptr;
    CCopyWorkers copies{FillUnderWay};
    // A copy has failed: the rest go one at a time.
    bool oneAtATime = false;

    // Lets every copy under way end; the names of the files that failed
    // copies took away leave the listings at once, before a step looks for
    // them. Their outcomes stay for FinishOldest.
    void EndAll()
    {
        copies.FinishAll();
        for (size_t place = 0; place < copies.Count(); ++place)
            NoteRemoved(copies.At(place));
    }

    static void NoteRemoved(NewFileCopy& copy)
    {
        if (copy.removed)
            NoteNativeNameRemoved(static_cast<HeldDirectory*>(copy.hold)->native.c_str(), copy.name.c_str());
        copy.removed = false;
    }
};

CCopyRun::CCopyRun() : m_state(new State)
{
    ForgetCleanedDirectories();
    // Read while no helper runs: reading it means setting it.
    CreationMask();
}

CCopyRun::~CCopyRun()
{
    while (m_state->copies.Count() > 0)
        FinishOldest();
    LetGo(m_state->held);
    delete m_state;
}

bool CCopyRun::PrepareEntryDir(const char* entryDir, MakeLevels makeLevels, int& error)
{
    // The directory held for the steps before is held on while it is still
    // there: a directory removed since has no links left.
    error = 0;
    HeldDirectory*& held = m_state->held;
    if (held && held->text == entryDir && fstat(held->descriptor, &held->status) == 0 && held->status.st_nlink > 0)
        return true;
    LetGo(held);
    held = Hold(entryDir);
    if (!held) {
        error = makeLevels(entryDir);
        held = Hold(entryDir);
    }
    return true;
}

CopyStart CCopyRun::Copy(const char* source, const char* destPath)
{
    State& run = *m_state;
    HeldDirectory* held = run.held;
    const char* name = held && held->joinsNames && strncmp(destPath, held->text.c_str(), held->text.size()) == 0
                           ? destPath + held->text.size()
                           : nullptr;
    if (!name || !IsOneLevel(name)) {
        // Any other destination is found by Windows' rules as a whole, once
        // every copy under way has ended.
        run.EndAll();
        return CopyFileOverwrite(source, destPath) ? CopyStart::Copied : CopyStart::Failed;
    }

    // The source is refused first, then the destination: as CopyFileOverwrite.
    char written[CNativePath::kSize], native[CNativePath::kSize], onDisk[CNativePath::kSize];
    if (!NativePathAsWritten(source, written))
        return CopyStart::Failed;
    errno = NativeName(name, native);
    if (errno == 0 && held->native.size() + strlen(native) >= CNativePath::kSize)
        errno = ENAMETOOLONG;
    if (errno != 0)
        return CopyStart::Failed;
    int found = FindNativeName(held->descriptor, held->native.c_str(), native, onDisk);
    if (found == 1 && run.copies.Count() > 0) {
        // It may be a file under way, which is replaced only once complete,
        // or one whose copy fails and is taken away.
        run.EndAll();
        found = FindNativeName(held->descriptor, held->native.c_str(), native, onDisk);
    }
    if (found < 0)
        return CopyStart::Failed;
    struct stat existing;
    const bool replaces = found == 1 && fstatat(held->descriptor, onDisk, &existing, 0) == 0;
    if (replaces && RefusesCopy(existing))
        return CopyStart::Failed;
    if (!held->cleaned) {
        held->cleaned = true;
        if (FirstCleaningOf(held->status))
            RemoveStaleTemporaries(held->descriptor);
    }
    struct stat info;
    if (replaces || run.oneAtATime || !run.copies.CanStart()) {
        // Copied here, once every copy under way has ended: its source may be one of them.
        run.EndAll();
        const int in = OpenSource(source, written, info);
        return in >= 0 && CopyToDirectory(held->descriptor, held->native.c_str(), onDisk, replaces, in, info)
                   ? CopyStart::Copied
                   : CopyStart::Failed;
    }

    // A new file is made here, in the walk's order, and filled on a helper,
    // which opens its source.
    NewFileCopy copy;
    copy.out = CreateNewFile(held->descriptor, onDisk, kNewFileMode, copy.made);
    if (copy.out < 0) {
        // The source is refused before the destination, as one copy at a time refuses it.
        const int error = errno;
        const int in = OpenSource(source, written, info);
        if (in >= 0) {
            close(in);
            errno = error;
        }
        return CopyStart::Failed;
    }
    NoteNativeNameMade(held->native.c_str(), onDisk);
    copy.directory = held->descriptor;
    copy.name = onDisk;
    copy.source = source;
    copy.written = written;
    copy.hold = held;
    ++held->holders;
    run.copies.Start(std::move(copy));
    return CopyStart::UnderWay;
}

bool CCopyRun::FinishOldest()
{
    State& run = *m_state;
    NewFileCopy& copy = run.copies.Oldest();
    HeldDirectory* held = static_cast<HeldDirectory*>(copy.hold);
    run.oneAtATime = run.oneAtATime || !copy.copied;
    State::NoteRemoved(copy);
    const bool copied = copy.copied;
    const int error = copy.error;
    LetGo(held);
    run.copies.DropOldest();
    errno = error;
    return copied;
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

void SetShellOpener(ShellOpener opener) { g_shellOpener = opener; }

}  // namespace Platform
