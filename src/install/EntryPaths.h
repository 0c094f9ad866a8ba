// Where the installation run puts each file: pure path composition, no file-system access.
#pragma once
#include "FileEntry.h"

// The directory marker at the start of a destination; it stands for the target.
constexpr char kSetupDirMarker[] = "$setupdir";

// Writes the normalised target directory into target (kPathSize bytes): the
// text with one backslash appended when it is empty or does not end with one.
// Returns false, with target empty, when that exceeds 259 characters.
bool NormaliseTarget(const char* targetDir, char* target);

// Composes one C entry's directory and destination path (kPathSize bytes
// each) from the normalised target. A destination that starts with the
// marker (in any case) names a sub-directory: the lower-cased text after the
// marker, less one leading backslash, is appended to the target. Any other
// destination is not used. The file name is joined straight on, with no
// separator of its own. Returns false, with both outputs empty, when either
// path would exceed 259 characters: the installer then skips the entry.
bool ComputeEntryPaths(const char* target, const FileEntry& entry, char* entryDir, char* destPath);
