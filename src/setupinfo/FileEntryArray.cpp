#include "FileEntryArray.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

CFileEntryArray::~CFileEntryArray()
{
    free(m_data);
}

bool CFileEntryArray::SetSize(size_t size)
{
    if (size > m_capacity) {
        size_t capacity = m_capacity ? m_capacity : 16;
        while (capacity < size)
            capacity *= 2;
        if (capacity > SIZE_MAX / sizeof(FileEntry))
            return false;
        void* grown = realloc(m_data, capacity * sizeof(FileEntry));
        if (!grown)
            return false;
        m_data = static_cast<FileEntry*>(grown);
        m_capacity = capacity;
    }
    if (size > m_size)
        memset(m_data + m_size, 0, (size - m_size) * sizeof(FileEntry));
    m_size = size;
    return true;
}
