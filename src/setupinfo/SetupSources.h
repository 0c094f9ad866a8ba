// Where Load gets its two description files: from disk, or from memory in tests.
#pragma once
#include "setupinfo/ByteSource.h"
#include "setupinfo/FileSource.h"

class ISetupSources {
public:
    // Opens the named file for reading; null when it cannot be opened.
    virtual IByteSource* Open(const char* path) = 0;
    // Closes everything opened so far.
    virtual void CloseAll() = 0;

protected:
    ~ISetupSources() = default;
};

// The files themselves, relative to the current directory.
class CFileSetupSources final : public ISetupSources {
public:
    IByteSource* Open(const char* path) override;
    void CloseAll() override;

private:
    CFileSource m_files[2];
    int m_opened = 0;
};
