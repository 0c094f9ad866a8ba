// The one copy of a file's bytes on POSIX systems: the engine's (posix/FileSystem.cpp) and kivpack's.
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
// the disk when flush is set, and closes in; out stays open, its flushed data
// then standing for what close would report. False with the reason in errno.
struct stat;
bool CopyInto(int in, int out, const struct stat& info, int mode, bool flush);

// A new file's copy, in two parts that may run on two threads: the file made
// in its place (CreateNewFile), then filled (FillNewFile).
//
// Makes the file name in the directory held open as directory (or
// AT_FDCWD), which must not exist yet, with the permissions mode less the
// umask, open for writing; made receives its status. -1 with the reason in
// errno.
int CreateNewFile(int directory, const char* name, mode_t mode, struct stat& made);
// Copies the open regular file in (its status in info) into out, the file
// CreateNewFile made (made) at name in directory, with in's last-write time
// and the permissions mode (unless it is negative: out keeps those it was
// made with), and closes both. A copy that fails, also one that an
// interrupt ends, removes what it wrote (AbandonNewFile; removed tells).
// False with the reason in errno.
bool FillNewFile(int in, int out, const struct stat& info, int mode, int directory, const char* name,
                 const struct stat& made, bool& removed);
// Closes out, the file made at name in directory, and removes it unless the
// name holds another file by then (another run's complete copy, renamed over
// it), which stays; only a process killed outright can leave it cut short.
// True when it was removed; errno is kept.
bool AbandonNewFile(int out, int directory, const char* name, const struct stat& made);

// Copies the open regular file in (its status in info) to name in directory
// (or AT_FDCWD), a new file: CreateNewFile, then FillNewFile; closes in.
bool CopyToNewFile(int in, const struct stat& info, int directory, const char* name, mode_t mode);

// Copies the regular file source to destination (native paths) as
// CopyToNewFile does, with the source's permissions less the umask.
bool CopyNewFile(const char* source, const char* destination);
