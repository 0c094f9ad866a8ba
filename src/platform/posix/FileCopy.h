// The one copy of a file's bytes on POSIX systems: the engine's (FileSystemPosix.cpp) and kivpack's.
#pragma once

#include <sys/types.h>

// Copies every byte of the open regular file from, read from its start, to
// the open file to: by copy_file_range, which leaves the copy to the kernel
// and the file system, or by read and write where they refuse it (a file
// system without it, or two that it cannot join on this kernel), and always
// by read and write when rangeCopy is false. size is from's size when it was
// opened: a copy that has reached it asks for nothing more (0 copies to the
// file's end, as a file that tells no size needs). An interrupt
// (Platform::Interrupted) ends it between two pieces, failing with EINTR.
// False with the reason in errno.
bool CopyFileData(int from, int to, off_t size, bool rangeCopy = true);

// Copies the open regular file in into the open file out (CopyFileData),
// gives out the permissions mode (unless it is negative: out keeps its own)
// and the last-write time of info (in's status), waits for its data to reach
// the disk when flush is set, and closes both. False with the reason in
// errno.
struct stat;
bool CopyAndClose(int in, int out, const struct stat& info, int mode, bool flush);
// The same, with out left open (in is closed): its flushed data then stands
// for what close would report.
bool CopyInto(int in, int out, const struct stat& info, int mode, bool flush);

// Copies the open regular file in (its status in info) to destination, a
// file that must not exist yet, made with the permissions mode less the
// umask, with in's last-write time; closes in. A copy that fails, also one
// that an interrupt ends, removes what it wrote, so that nothing is left at
// destination, unless the name holds another file by then (another run's
// complete copy, renamed over it), which stays; only a process killed
// outright can leave it cut short. False with the reason in errno.
bool CopyToNewFile(int in, const struct stat& info, const char* destination, mode_t mode);

// Copies the regular file source to destination (native paths) as
// CopyToNewFile does, with the source's permissions less the umask.
bool CopyNewFile(const char* source, const char* destination);
