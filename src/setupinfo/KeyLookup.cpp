// The key lookup: a loose, line-oriented scan that decides which files load
// and what they say; its rules are part of the file format.
#include <cstring>

#include "SetupInfo.h"
#include "TextBuffer.h"

char* CSetupInfo::GetValue(CTextReader* file, const char* section, const char* key,
                           char* destination, size_t destinationSize)
{
    if (!file || !file->Rewind())
        return nullptr;

    // "[SECTION]" and "KEY=", upper-cased. A match text that does not fit a
    // line could never occur in one.
    char header[kLineSize];
    char keyText[kLineSize];
    if (!CopyText(header, sizeof header, "[") || !AppendText(header, sizeof header, section) ||
        !AppendText(header, sizeof header, "]"))
        return nullptr;
    if (!CopyText(keyText, sizeof keyText, key) || !AppendText(keyText, sizeof keyText, "="))
        return nullptr;
    UpperCaseAscii(header);
    UpperCaseAscii(keyText);
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

        char* value = line + keyLength + 1;
        size_t valueLength = strlen(value);
        // Drops the LF that ends the line; a CR inside the value costs its
        // last character instead, as it always has.
        if (strchr(value, '\n') || strchr(value, '\r'))
            value[--valueLength] = '\0';
        if (valueLength == 0)
            return nullptr;
        CopyText(destination, destinationSize, value);
        return destination;
    }
    return nullptr;
}
