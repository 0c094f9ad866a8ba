// A byte source over a file opened for binary reading.
#pragma once
#include <cstdio>

#include "setupinfo/ByteSource.h"

class CFileSource final : public IByteSource {
public:
    CFileSource() = default;
    ~CFileSource() { Close(); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    // Opens path (backslashes as separators, relative to the current
    // directory) when it names a regular file; false for anything else.
    bool Open(const char* path);
    void Close();

    bool Rewind() override;
    size_t Read(unsigned char* buffer, size_t size) override;
    int Error() const override { return m_error; }

private:
    FILE* m_file = nullptr;
    int m_error = 0;
};
