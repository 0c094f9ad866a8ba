// Growing a malloc'd array of plain records, without exceptions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Makes room for at least needed records in data (capacity records now),
// doubling the capacity. Returns false, leaving data as it was, when the size
// would overflow or memory runs out.
template <typename T>
bool Reserve(T*& data, size_t& capacity, size_t needed)
{
    if (needed <= capacity)
        return true;
    size_t grown = capacity ? capacity : 64;
    while (grown < needed) {
        if (grown > SIZE_MAX / 2)
            return false;
        grown *= 2;
    }
    if (grown > SIZE_MAX / sizeof(T))
        return false;
    void* moved = realloc(data, grown * sizeof(T));
    if (!moved)
        return false;
    data = static_cast<T*>(moved);
    capacity = grown;
    return true;
}
