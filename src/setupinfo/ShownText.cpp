#include "setupinfo/ShownText.h"

#include <cstring>

#include "platform/Platform.h"

char* ReadShownText(const char* path, size_t& shown, size_t& size)
{
    char* bytes = Platform::ReadWholeFile(path, size);
    shown = bytes ? strlen(bytes) : 0;
    return bytes;
}
