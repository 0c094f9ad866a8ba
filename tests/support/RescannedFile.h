// The reference the indexed Load is held against: every value found by GetValue, which rescans the file.
#pragma once
#include "support/KeyLookup.h"
#include "setupinfo/SetupLoad.h"

class CRescannedFile {
public:
    explicit CRescannedFile(IByteSource& source) : m_reader(source) {}
    bool Read() { return true; }
    char* Find(const char* section, const char* key, char* destination, size_t size)
    {
        return GetValue(&m_reader, section, key, destination, size);
    }

private:
    CTextReader m_reader;
};
