#include "TextBuffer.h"

#include <climits>
#include <cstring>

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
    size_t taken = length < room ? length : room;
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

void UpperCaseAscii(char* text)
{
    for (; *text; ++text)
        *text = ToUpperAscii(*text);
}

void LowerCaseAscii(char* text)
{
    for (; *text; ++text)
        *text = ToLowerAscii(*text);
}

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (ToUpperAscii(*a) != ToUpperAscii(*b))
            return false;
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
