// A directory's entries read straight from the system on POSIX systems: the one reading of a listing for
// the name lookup (NativePath.cpp), the cleaning of temporaries (FileSystem.cpp) and kivpack's scan.
#pragma once
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

// Calls found(name, type) for each entry of the directory open as directory,
// "." and ".." among them as the system lists them, type being the entry's own (DT_REG, DT_DIR, DT_LNK, ...,
// DT_UNKNOWN where the file system tells none). Reads with getdents64 into a
// buffer of its own: opendir would add a look at the directory, a change of
// its flags and a buffer taken from the heap for every directory, which a
// run over thousands of directories pays thousands of times. Returns 0, or
// the system's error when the listing could not be read to its end (the
// entries before it have been given). directory stays open.
template <class Found>
int ForEachDirectoryEntry(int directory, Found found)
{
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t got = getdents64(directory, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0 ? 0 : errno;
        for (ssize_t at = 0; at < got;) {
            const dirent64* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            found(static_cast<const char*>(entry->d_name), entry->d_type);
        }
    }
}

// Opens the directory at path (relative to at, as openat takes it) for
// ForEachDirectoryEntry; -1 with errno when it cannot be read as one.
inline int OpenDirectoryForListing(int at, const char* path)
{
    return openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
