#include "GetPrefix.h"

#include <cstring>

char* GetPrefix(const char* text, const char* separator, char* out)
{
    const char* found = strstr(text, separator);
    if (!found) {
        out[0] = '\0';
        return nullptr;
    }
    size_t length = static_cast<size_t>(found - text);
    memcpy(out, text, length);
    out[length] = '\0';
    return out;
}
