// How Windows reads the names in a path: its separators, the names it keeps
// for devices, letter case, and the ANSI code page (1252) of the package files.
#pragma once
#include <cstddef>

namespace WindowsNames {

// Windows takes both the backslash and the slash as a separator of levels.
inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Resolves "." and ".." in the text, as Windows does before it looks any
// level up, and writes every separator as a backslash; empty levels go. A
// ".." above the start of a relative path stays at its front; above the root
// of an absolute path (or a drive, "C:") is that root. A relative path that
// resolves to nothing is ".". A closing separator stays. False when out
// (outSize bytes) is too small.
bool NormalisePath(const char* path, char* out, size_t outSize);

// True when one level of a path (length characters, no separator) names a
// device in every directory: CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9,
// in any case, also followed by an extension or by blanks.
bool IsDeviceName(const char* name, size_t length);

// True when a path (either separator) has a device name as any level.
bool HasDeviceName(const char* path);

// Converts text in code page 1252 into UTF-8 in out (outSize bytes, NUL
// included); false when it does not fit.
bool AnsiToUtf8(const char* ansi, char* out, size_t outSize);

// Converts UTF-8 into code page 1252; false when it does not fit or holds a
// character that 1252 cannot write (or is not UTF-8).
bool Utf8ToAnsi(const char* utf8, char* out, size_t outSize);

// Lower-cases code page 1252 text as Windows compares file names: every
// letter 1252 can write (A to Z, \xC4 to \xE4, ...), nothing else.
void FoldAnsiCase(char* text);

// The form of a UTF-8 name (length bytes) under which every spelling that
// Windows takes for the same file name, whatever its letter case, is alike;
// bytes that are not UTF-8 stay as they are. Written into out, which has
// room for kFoldRoom * length + 1 bytes, NUL-terminated; returns its length.
constexpr size_t kFoldRoom = 2;
size_t FoldUtf8Name(const char* name, size_t length, char* out);

// Compares two UTF-8 names as Windows compares file names: without regard to
// letter case, for every letter that code page 1252 can write (Ä and ä alike).
// Bytes that are not UTF-8 must match exactly.
bool SameNameIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength);

}  // namespace WindowsNames
