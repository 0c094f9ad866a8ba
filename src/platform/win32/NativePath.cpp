// A path as the installer writes it, on Windows: the system reads it by its own rules.
#include "platform/NativePath.h"

#include "text/Text.h"

CNativePath::CNativePath(const char* path) : m_path(path), m_valid(path != nullptr) {}

bool FromNativePath(const char* native, char* path, size_t size) { return CopyText(path, size, native); }
