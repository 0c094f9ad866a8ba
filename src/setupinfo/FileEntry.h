// One record of the file list: what to copy or open, and where.
#pragma once
#include "setupinfo/Limits.h"

struct FileEntry {
    char szSource[kPathSize];    // path of the packaged file, as listed
    char szFileName[kPathSize];  // last component of szSource
    char szDest[kPathSize];      // destination, "$setupdir" at its start for the target
    char szAction[kPathSize];    // "C" copies, "E" opens through the shell
    int nNumber;                 // fourth field; stored, not used
};
