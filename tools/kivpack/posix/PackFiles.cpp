// kivpack's files on POSIX systems: named by their bytes.
#include "kivpack/PackFiles.h"

FILE* OpenForWriting(const std::filesystem::path& path) { return fopen(path.c_str(), "wb"); }
