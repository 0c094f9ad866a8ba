// Reading a whole file, the same on every system.
#include <cstdlib>

#include "platform/Platform.h"

namespace Platform {

char* ReadWholeFile(const char* path, size_t& size)
{
    FILE* file = OpenRegularFile(path);
    if (!file)
        return nullptr;
    char* bytes = nullptr;
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        length = ftell(file);
    if (length >= 0 && fseek(file, 0, SEEK_SET) == 0)
        bytes = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (bytes) {
        size = fread(bytes, 1, static_cast<size_t>(length), file);
        bytes[size] = '\0';
        // A read that stopped short is an error, not a shorter file.
        if (size != static_cast<size_t>(length)) {
            free(bytes);
            bytes = nullptr;
        }
    }
    fclose(file);
    return bytes;
}

}  // namespace Platform
