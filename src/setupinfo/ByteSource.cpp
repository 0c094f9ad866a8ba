#include "setupinfo/ByteSource.h"

#include <cstring>

bool CMemorySource::Rewind()
{
    m_position = 0;
    return true;
}

size_t CMemorySource::Read(unsigned char* buffer, size_t size)
{
    size_t left = m_size - m_position;
    size_t taken = size < left ? size : left;
    if (taken > 0)
        memcpy(buffer, m_data + m_position, taken);
    m_position += taken;
    return taken;
}
