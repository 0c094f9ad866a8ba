// The key lookup: a loose, line-oriented scan that decides which files load
// and what they say; its rules are part of the file format.
#include "support/KeyLookup.h"

#include "setupinfo/LineRules.h"

char* GetValue(CTextReader* file, const char* section, const char* key, char* destination, size_t destinationSize)
{
    if (!file || !file->Rewind())
        return nullptr;

    MatchTexts texts;
    if (!BuildMatchTexts(section, key, texts))
        return nullptr;

    char line[kLineSize];
    bool headerFound = false;
    while (file->ReadLine(line, sizeof line)) {
        if (!headerFound) {
            headerFound = IsHeaderLine(line, texts);
            continue;
        }
        // Later section headers do not stop the search.
        if (IsKeyLine(line, texts))
            return TakeValue(line + texts.keyLength + 1, destination, destinationSize);
    }
    return nullptr;
}
