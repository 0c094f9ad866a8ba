#include "setupinfo/FileEntryArray.h"

#include <cstdlib>
#include <cstring>

#include "text/Reserve.h"

CFileEntryArray::~CFileEntryArray() { free(m_data); }

bool CFileEntryArray::SetSize(size_t size)
{
    if (!Reserve(m_data, m_capacity, size))
        return false;
    if (size > m_size)
        memset(m_data + m_size, 0, (size - m_size) * sizeof(FileEntry));
    m_size = size;
    return true;
}
