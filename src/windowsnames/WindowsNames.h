// How Windows reads the names in a path: its separators, "." and "..", the names it keeps for devices, letter case.
#pragma once
#include <cstddef>
#include <string>

#include "codepages/CodePages.h"

namespace WindowsNames {

// Windows takes both the backslash and the slash as a separator of levels.
// Only a byte that stands as a character of its own separates: in a
// double-byte code page the second byte of a character may be 0x5C, so a
// path is walked with CodePages::NextCharacter.
inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Resolves "." and ".." in the text, as Windows does before it looks any
// level up, and writes every separator as a backslash; empty levels go. A
// ".." above the start of a relative path stays at its front; above the root
// of an absolute path (or a drive, "C:") is that root. A relative path that
// resolves to nothing is ".". A closing separator stays. False when out
// (outSize bytes) is too small.
bool NormalisePath(const char* path, char* out, size_t outSize);

// True when one level of a path (length characters, no separator) names a
// device in every directory: CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9
// (also with the superscript digits 1, 2 and 3 of the code page: COM¹, LPT³),
// in any case, also followed by an extension or by blanks.
bool IsDeviceName(const char* name, size_t length);

// True when a path (either separator) has a device name as any level.
bool HasDeviceName(const char* path);

// Folds text in the code page as Windows compares file names: every letter
// of a pair that Windows takes for one (A and a, \xC4 and \xE4, full-width
// A and a, ...) becomes the same character, the small letter where the code
// page has it. A character that is no character of the code page stays.
void FoldAnsiCase(char* text);

// The form of a UTF-8 name (length bytes) under which every spelling that
// Windows takes for the same file name, whatever its letter case, is alike;
// bytes that are not UTF-8 stay as they are. Written into out, which has
// room for kFoldRoom * length + 1 bytes, NUL-terminated; returns its length.
constexpr size_t kFoldRoom = 2;
size_t FoldUtf8Name(const char* name, size_t length, char* out);
std::string FoldedUtf8Name(const char* name, size_t length);
std::string FoldedUtf8Name(const std::string& name);

// Whether letter case outside ASCII can be told apart here: POSIX systems
// need the C library's C.UTF-8 locale for it. Without it, only the ASCII
// letters fold.
bool CanFoldCase();

}  // namespace WindowsNames
