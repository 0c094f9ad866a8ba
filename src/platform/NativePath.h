// A path written with backslashes, in the form the operating system takes.
#pragma once
#include <cstddef>

// On Windows the text is passed on unchanged. On POSIX systems every backslash
// becomes a slash here, at the boundary to the OS, and nowhere else.
class CNativePath {
public:
    explicit CNativePath(const char* path);
    bool IsValid() const { return m_valid; }
    const char* Get() const { return m_path; }

private:
#ifdef _WIN32
    const char* m_path;
#else
    // Longer than any path the installer composes (259 characters) and than
    // PATH_MAX on Linux (4095 characters and the NUL).
    static constexpr size_t kSize = 4096;
    char m_path[kSize];
#endif
    bool m_valid;
};

// The reverse mapping for texts that come from the OS (POSIX only; no-op on Windows).
void FromNativePath(char* path);
