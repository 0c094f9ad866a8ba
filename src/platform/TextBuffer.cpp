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

namespace {

// Changes the single-byte characters of text to capitals (or small letters);
// a two-byte character stays whole, whatever its second byte.
template <bool toCapital>
void ChangeCase(char* text)
{
    while (*text) {
        const size_t length = WindowsNames::CharacterLength(text);
        if (length == 1)
            *text = toCapital ? ToUpperAscii(*text) : ToLowerAscii(*text);
        text += length;
    }
}

}  // namespace

void UpperCaseAscii(char* text)
{
    ChangeCase<true>(text);
}

void LowerCaseAscii(char* text)
{
    ChangeCase<false>(text);
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
