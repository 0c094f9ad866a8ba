#include "setupinfo/LineRules.h"

#include <cstring>

#include "setupinfo/Limits.h"
#include "text/Text.h"
#include "codepages/CodePages.h"

bool BuildMatchTexts(const char* section, const char* key, MatchTexts& texts)
{
    if (!CopyText(texts.header, kLineSize, "[") || !AppendText(texts.header, kLineSize, section) ||
        !AppendText(texts.header, kLineSize, "]"))
        return false;
    if (!CopyText(texts.keyText, kLineSize, key) || !AppendText(texts.keyText, kLineSize, "="))
        return false;
    CodePages::UpperCaseAscii(texts.header);
    CodePages::UpperCaseAscii(texts.keyText);
    texts.keyLength = strlen(key);
    return true;
}

namespace {

// Whether the text at character, a character of a line, starts with
// upperText once upper-cased as UpperCaseAscii upper-cases the line: each
// character of one byte in capitals, each of two bytes as it is.
bool UpperStartsWith(const char* character, const char* upperText)
{
    for (size_t i = 0; upperText[i];) {
        const size_t length = CodePages::CharacterLength(character + i);
        if (length == 0)
            return false;
        for (size_t byte = 0; byte < length && upperText[i]; ++byte, ++i) {
            if ((length == 1 ? ToUpperAscii(character[i]) : character[i]) != upperText[i])
                return false;
        }
    }
    return true;
}

// Whether the upper-cased line contains upperText where a character of the
// line begins: the second byte of a two-byte character starts no match. A
// line is at most 2047 characters, as every read gives it; a NUL byte ends
// it. The line is compared where it is, without an upper-cased copy.
bool UpperLineContains(const char* line, const char* upperText)
{
    for (const char* character = line; *character; character = CodePages::NextCharacter(character)) {
        if (UpperStartsWith(character, upperText))
            return true;
    }
    return false;
}

}  // namespace

bool IsHeaderLine(const char* line, const MatchTexts& texts) { return UpperLineContains(line, texts.header); }

bool IsKeyLine(const char* line, const MatchTexts& texts)
{
    const char* equals = strchr(line, '=');
    return equals && static_cast<size_t>(equals - line) == texts.keyLength && UpperLineContains(line, texts.keyText);
}

char* TakeValue(const char* value, char* destination, size_t destinationSize)
{
    size_t length = strlen(value);
    if (strchr(value, '\n') || strchr(value, '\r'))
        --length;
    if (length == 0)
        return nullptr;
    if (destinationSize > 0) {
        // Cut before a character that would not fit whole.
        const size_t taken = CodePages::WholeCharacters(value, length, destinationSize - 1);
        memcpy(destination, value, taken);
        destination[taken] = '\0';
    }
    return destination;
}

// Written by hand: a printf-family call would pull the C library's whole
// formatter into the installer.
void MakeFileKey(unsigned n, char* key)
{
    char digits[10];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    CopyText(key, kFileKeySize, kFileKeyPrefix);
    size_t at = sizeof kFileKeyPrefix - 1;
    while (count > 0)
        key[at++] = digits[--count];
    key[at] = '\0';
}

size_t ReadFileKey(const char* text, unsigned& number, bool& leadingZeros)
{
    const size_t prefixLength = sizeof kFileKeyPrefix - 1;
    for (size_t i = 0; i < prefixLength; ++i) {
        if (ToUpperAscii(text[i]) != kFileKeyPrefix[i])
            return 0;
    }
    size_t end = prefixLength;
    while (text[end] == '0')
        ++end;
    leadingZeros = end > prefixLength;
    unsigned long long value = 0;
    for (; text[end] >= '0' && text[end] <= '9'; ++end) {
        value = value * 10 + static_cast<unsigned>(text[end] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    if (value == 0)
        return 0;
    number = static_cast<unsigned>(value);
    return end;
}
