#include "MatchTexts.h"

#include <cstring>

#include "Limits.h"
#include "TextBuffer.h"

bool BuildMatchTexts(const char* section, const char* key, char* header, char* keyText)
{
    if (!CopyText(header, kLineSize, "[") || !AppendText(header, kLineSize, section) ||
        !AppendText(header, kLineSize, "]"))
        return false;
    if (!CopyText(keyText, kLineSize, key) || !AppendText(keyText, kLineSize, "="))
        return false;
    UpperCaseAscii(header);
    UpperCaseAscii(keyText);
    return true;
}

char* TakeValue(const char* value, char* destination, size_t destinationSize)
{
    size_t length = strlen(value);
    if (strchr(value, '\n') || strchr(value, '\r'))
        --length;
    if (length == 0)
        return nullptr;
    if (destinationSize > 0) {
        const size_t taken = length < destinationSize - 1 ? length : destinationSize - 1;
        memcpy(destination, value, taken);
        destination[taken] = '\0';
    }
    return destination;
}
