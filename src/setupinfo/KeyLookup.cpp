// The key lookup: a loose, line-oriented scan that decides which files load
// and what they say; its rules are part of the file format.
#include <cstring>

#include "LineRules.h"
#include "SetupInfo.h"

char* CSetupInfo::GetValue(CTextReader* file, const char* section, const char* key,
                           char* destination, size_t destinationSize)
{
    if (!file || !file->Rewind())
        return nullptr;

    char header[kLineSize];
    char keyText[kLineSize];
    if (!BuildMatchTexts(section, key, header, keyText))
        return nullptr;
    const size_t keyLength = strlen(key);

    char line[kLineSize];
    bool headerFound = false;
    while (file->ReadLine(line, sizeof line)) {
        if (!headerFound) {
            headerFound = IsHeaderLine(line, header);
            continue;
        }
        // Later section headers do not stop the search.
        if (IsKeyLine(line, keyText, keyLength))
            return TakeValue(line + keyLength + 1, destination, destinationSize);
    }
    return nullptr;
}
