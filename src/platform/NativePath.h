// A path as the installer writes it (Windows' rules), in the form the operating system takes.
#pragma once
#include <cstddef>

// On Windows the text is passed on unchanged: the system applies its own
// rules. On POSIX systems the path is read as Windows would read it, here, at
// the boundary to the OS, and nowhere else:
// - the backslash and the slash both separate levels;
// - "." and ".." are resolved in the text, before any level is looked up;
// - the text is in the package's code page (1252 unless --codepage chose
//   another), read character by character; the system's names in UTF-8;
// - a level finds an existing file or directory whatever its letter case
//   (Ä and ä too); an exact match is taken first, and a name that matches
//   two entries differing only in case is refused (the path is not valid);
// - a device name (NUL, CON, COM1, ...) as any level makes the path invalid,
//   as Windows would never reach a file by it.
class CNativePath {
public:
    explicit CNativePath(const char* path);
    bool IsValid() const { return m_valid; }
    const char* Get() const { return m_path; }
    // True when an existing level was found under a name that differs from
    // the text only in letter case (always false on Windows).
    bool CaseDiffers() const { return m_caseDiffers; }
    // False when the lookup found that the path names nothing (POSIX only;
    // true on Windows, which does not look).
    bool Exists() const { return m_exists; }
    // Why the path is not valid, as an errno value: ENODEV for a device name,
    // ENOTUNIQ for a name that matches two entries, EILSEQ for bytes that are
    // no character of the code page (half a character, or a pair it does not
    // define), else ENAMETOOLONG (always 0 on Windows, where the system reads
    // the path itself).
    int Error() const { return m_error; }

#ifndef _WIN32
    // The type (S_IFMT bits) of the path itself, a link not followed, where
    // the lookup looked at the path as a whole; 0 where it did not.
    unsigned SeenType() const { return m_seenType; }

    // Longer than any path the installer composes (259 characters, three
    // bytes each in UTF-8) and as long as PATH_MAX on Linux (4095 and the NUL).
    static constexpr size_t kSize = 4096;
#endif

private:
#ifdef _WIN32
    const char* m_path;
#else
    char m_path[kSize];
#endif
    bool m_valid;
    bool m_caseDiffers = false;
    bool m_exists = true;
    unsigned m_seenType = 0;
    int m_error = 0;
};

#ifndef _WIN32
// The path as written, in the system's form (CNativePath::kSize bytes into
// native), with none of its levels looked up: the text that names the path
// when it exists in exactly that letter case, the most common case, which a
// call can try before it asks CNativePath to find it. False, with the
// reason in errno as CNativePath::Error gives it, for no path.
bool NativePathAsWritten(const char* path, char* native);

// Tells the name lookup that the run made the entry at native (a path of the
// system), so that it need not read the directory again to know it; a
// directory the run made (its status in madeDirectory) is known to be empty.
struct stat;
void NoteNativeEntryMade(const char* native, const struct stat* madeDirectory = nullptr);

// The names of one level in a directory that a copy holds open, the path
// rules applied to the name alone, the directory's levels having passed
// them when it was opened.
//
// A name of one level as the system writes it: name (the package's code
// page, no separator, neither "." nor "..") into native (CNativePath::kSize
// bytes) in UTF-8. 0, or why it names no file as CNativePath::Error tells:
// ENODEV for a device name, EILSEQ for bytes that are no character.
int NativeName(const char* name, char* native);
// Finds the entry name (UTF-8) of the directory held open as directory,
// whose path is native (ending with "/"), as CNativePath finds a path's last
// level: exactly, else whatever its letter case. 1 when it exists, with its
// name on disk in onDisk (CNativePath::kSize bytes); 0 when it does not; -1,
// with errno ENOTUNIQ, when two entries that differ only in case match it.
int FindNativeName(int directory, const char* native, const char* name, char* onDisk);
// The run made, or removed again, the entry name of the directory native.
void NoteNativeNameMade(const char* native, const char* name);
void NoteNativeNameRemoved(const char* native, const char* name);
#endif

// Puts a path that comes from the OS into the installer's form: backslashes
// and the package's code page (POSIX only; on Windows it is already). False
// when it holds a character the code page cannot write or does not fit size
// bytes.
bool FromNativePath(const char* native, char* path, size_t size);
