#include "platform/posix/FileCopy.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/Interrupt.h"

namespace {

// A piece of a copy: an interrupt is looked at between two of them.
constexpr size_t kPieceSize = 1 << 20;

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR && !Platform::Interrupted())
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAndWrite(int from, int to)
{
    char block[65536];
    for (;;) {
        if (Platform::Interrupted()) {
            errno = EINTR;
            return false;
        }
        const ssize_t got = read(from, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!WriteAll(to, block, static_cast<size_t>(got)))
            return false;
    }
}

}  // namespace

bool CopyFileData(int from, int to, off_t size, bool rangeCopy)
{
    off_t done = 0;
    for (bool first = true; rangeCopy; first = false) {
        if (Platform::Interrupted()) {
            errno = EINTR;
            return false;
        }
        const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, kPieceSize, 0);
        if (copied == 0)
            return true;
        if (copied > 0) {
            done += copied;
            if (size > 0 && done == size)
                return true;
            continue;
        }
        if (errno == EINTR)
            continue;
        // Refused before anything was copied: the bytes go through memory.
        if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF ||
                      errno == ETXTBSY))
            break;
        return false;
    }
    return ReadAndWrite(from, to);
}

bool CopyNewFile(const char* source, const char* destination)
{
    const int in = open(source, O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (in < 0)
        return false;
    if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EINVAL;
        close(in);
        errno = error;
        return false;
    }
    return CopyToNewFile(in, info, AT_FDCWD, destination, info.st_mode & 0777);
}

int CreateNewFile(int directory, const char* name, mode_t mode, struct stat& made)
{
    // Made with its permissions at once: they bind only later opens.
    const int out = openat(directory, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    // What it made, so that a failure removes that and nothing else.
    if (out >= 0 && fstat(out, &made) != 0) {
        const int error = errno;
        close(out);
        unlinkat(directory, name, 0);
        errno = error;
        return -1;
    }
    return out;
}

bool FillNewFile(int in, int out, const struct stat& info, int mode, int directory, const char* name,
                 const struct stat& made, bool& removed)
{
    bool copied = CopyInto(in, out, info, mode, false);
    int error = errno;
    if (copied && close(out) != 0) {
        copied = false;
        error = errno;
        out = -1;
    }
    removed = !copied && AbandonNewFile(out, directory, name, made);
    errno = error;
    return copied;
}

bool AbandonNewFile(int out, int directory, const char* name, const struct stat& made)
{
    const int error = errno;
    if (out >= 0)
        close(out);
    struct stat named;
    const bool removed = fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == made.st_dev &&
                         named.st_ino == made.st_ino && unlinkat(directory, name, 0) == 0;
    errno = error;
    return removed;
}

bool CopyToNewFile(int in, const struct stat& info, int directory, const char* name, mode_t mode)
{
    struct stat made;
    const int out = CreateNewFile(directory, name, mode, made);
    if (out < 0) {
        const int error = errno;
        close(in);
        errno = error;
        return false;
    }
    bool removed;
    return FillNewFile(in, out, info, -1, directory, name, made, removed);
}

bool CopyInto(int in, int out, const struct stat& info, int mode, bool flush)
{
    const timespec times[2] = {{0, UTIME_NOW}, info.st_mtim};
    const bool copied = CopyFileData(in, out, info.st_size) &&
                        (mode < 0 || fchmod(out, static_cast<mode_t>(mode)) == 0) && futimens(out, times) == 0 &&
                        (!flush || fdatasync(out) == 0);
    const int error = errno;
    close(in);
    errno = error;
    return copied;
}

bool Platform::CopyNewSystemFile(const SystemChar* source, const SystemChar* destination)
{
    return CopyNewFile(source, destination);
}
