// Where the installation run puts each file: pure path composition, no file-system access.
#pragma once
#include <cstddef>

#include "setupinfo/FileEntry.h"

// The directory marker at the start of a destination; it stands for the target.
constexpr char kSetupDirMarker[] = "$setupdir";

// The destination rule. A destination that starts with the marker (in any
// case) names a sub-directory of the target: the lower-cased text after the
// marker, less one leading backslash, written into subDirectory (kPathSize
// bytes). Any other destination is not used: false, subDirectory empty.
bool MarkedSubDirectory(const char* dest, char* subDirectory);

// The three paths of a C entry. Each function writes its text into out
// (outSize bytes, cut to fit) and returns the length of the whole text: the
// installer uses kPathSize buffers and skips an entry whose text is longer
// than 259 characters; kivcheck shows the whole text in a larger buffer.

// The normalised target: targetDir with one backslash appended when it is
// empty or does not end with one.
size_t NormaliseTarget(const char* targetDir, char* out, size_t outSize);

// The entry directory: the normalised target, followed by the sub-directory
// the destination names (nothing when it names none).
size_t ComposeEntryDir(const char* target, const FileEntry& entry, char* out, size_t outSize);

// The destination path: the entry directory with the file name joined
// straight on, with no separator of its own.
size_t ComposeDestPath(const char* entryDir, const FileEntry& entry, char* out, size_t outSize);
