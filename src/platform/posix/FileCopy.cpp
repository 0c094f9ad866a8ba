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
        if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                      errno == EBADF || errno == ETXTBSY))
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
    return CopyToNewFile(in, info, destination, info.st_mode & 0777);
}

bool CopyToNewFile(int in, const struct stat& info, const char* destination, mode_t mode)
{
    // Made with its permissions at once: they bind only later opens.
    const int out = open(destination, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0) {
        const int error = errno;
        close(in);
        errno = error;
        return false;
    }
    // What it made, so that a failure removes that and nothing else.
    struct stat made;
    if (fstat(out, &made) != 0) {
        const int error = errno;
        close(in);
        close(out);
        unlink(destination);
        errno = error;
        return false;
    }
    const bool copied = CopyAndClose(in, out, info, -1, false);
    if (!copied) {
        const int error = errno;
        struct stat named;
        if (lstat(destination, &named) == 0 && named.st_dev == made.st_dev && named.st_ino == made.st_ino)
            unlink(destination);
        errno = error;
    }
    return copied;
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

bool CopyAndClose(int in, int out, const struct stat& info, int mode, bool flush)
{
    bool copied = CopyInto(in, out, info, mode, flush);
    int error = errno;
    if (close(out) != 0 && copied) {
        copied = false;
        error = errno;
    }
    errno = error;
    return copied;
}

bool Platform::CopyNewSystemFile(const SystemChar* source, const SystemChar* destination)
{
    return CopyNewFile(source, destination);
}
