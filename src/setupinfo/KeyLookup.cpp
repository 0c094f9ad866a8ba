// The key lookup: a loose, line-oriented scan that decides which files load
// and what they say; its rules are part of the file format.
#include <cstring>

#include "MatchTexts.h"
#include "SetupInfo.h"
#include "TextBuffer.h"

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
    char upper[kLineSize];
    bool headerFound = false;
    while (file->ReadLine(line, sizeof line)) {
        // Every test sees the line as a C string: a NUL byte ends it.
        CopyText(upper, sizeof upper, line);
        UpperCaseAscii(upper);
        if (!headerFound) {
            // Anywhere on the line counts, also inside a comment.
            headerFound = strstr(upper, header) != nullptr;
            continue;
        }
        // Later section headers do not stop the search.
        if (!strstr(upper, keyText))
            continue;
        const char* equals = strchr(line, '=');
        if (static_cast<size_t>(equals - line) != keyLength)
            continue;

        return TakeValue(line + keyLength + 1, destination, destinationSize);
    }
    return nullptr;
}
