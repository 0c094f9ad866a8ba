// kivpack's files on Windows: named in UTF-16, which holds every name the system can.
#include "kivpack/PackFiles.h"

FILE* OpenForWriting(const std::filesystem::path& path) { return _wfopen(path.c_str(), L"wb"); }
