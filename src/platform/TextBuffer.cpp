#include "TextBuffer.h"

#include <climits>
#include <cstring>

#include "WindowsNames.h"

bool CopyText(char* dst, size_t dstSize, const char* src)
{
    if (dstSize == 0)
        return false;
    dst[0] = '\0';
    return AppendText(dst, dstSize, src);
}

bool AppendText(char* dst, size_t dstSize, const char* src)
{
    size_t used = strnlen(dst, dstSize);
    if (used >= dstSize)
        return false;
    size_t room = dstSize - 1 - used;
    size_t length = strlen(src);
    // A cut falls between two characters: half a character would be another one.
    size_t taken = WindowsNames::WholeCharacters(src, length, room);
    memcpy(dst + used, src, taken);
    dst[used + taken] = '\0';
    return taken == length;
}

char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char ToLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

namespace {

// Changes the single-byte characters of text with change; a two-byte
// character stays whole, whatever its second byte.
void ChangeCase(char* text, char (*change)(char))
{
    while (*text) {
        const size_t length = WindowsNames::CharacterLength(text);
        if (length == 1)
            *text = change(*text);
        text += length;
    }
}

}  // namespace

void UpperCaseAscii(char* text)
{
    ChangeCase(text, ToUpperAscii);
}

void LowerCaseAscii(char* text)
{
    ChangeCase(text, ToLowerAscii);
}

bool EqualsNoCase(const char* a, const char* b)
{
    while (*a && *b) {
        const size_t length = WindowsNames::CharacterLength(a);
        if (length != WindowsNames::CharacterLength(b))
            return false;
        if (length == 1 ? ToUpperAscii(*a) != ToUpperAscii(*b) : memcmp(a, b, length) != 0)
            return false;
        a += length;
        b += length;
    }
    return *a == *b;
}

int AtoiSaturating(const char* text)
{
    // The white space atoi skips: blank, tab, line feed, vertical tab, form feed, CR.
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}
