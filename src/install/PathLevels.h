// The directory levels of a path, outermost first: the walk MakePath makes, without touching the disk.
#pragma once

// Receives one level: a prefix of the path that ends with a backslash.
using PathLevelVisitor = void (*)(const char* level, void* context);

// Visits each level of path in the order its closing backslash stands, from
// the outermost to the innermost. The text after the last backslash is a file
// name and never a level, so a path without a backslash has none. Returns -1
// for a null or empty path and -2 for one longer than 259 characters, visiting
// nothing then; 0 otherwise.
int WalkPathLevels(const char* path, PathLevelVisitor visit, void* context);
