// The growable array of file-list records, held by value in list order.
#pragma once
#include <cstddef>

#include "setupinfo/FileEntry.h"

class CFileEntryArray {
public:
    CFileEntryArray() = default;
    ~CFileEntryArray();
    CFileEntryArray(const CFileEntryArray&) = delete;
    CFileEntryArray& operator=(const CFileEntryArray&) = delete;

    size_t GetSize() const { return m_size; }
    // Brings the array to exactly size records; records added are empty.
    // Returns false, leaving the array as it was, when memory runs out.
    bool SetSize(size_t size);

    FileEntry& operator[](size_t index) { return m_data[index]; }
    const FileEntry& operator[](size_t index) const { return m_data[index]; }

private:
    FileEntry* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};
