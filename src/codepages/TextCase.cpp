// Text of the code page changed, compared and cut character by character.
#include "codepages/CodePages.h"

#include <cstring>

#include "text/Text.h"

namespace CodePages {

namespace {

// Changes the single-byte characters of text to capitals (or small letters);
// a two-byte character stays whole, whatever its second byte.
template <bool toCapital>
void ChangeCase(char* text)
{
    while (*text) {
        const size_t length = CharacterLength(text);
        if (length == 1)
            *text = toCapital ? ToUpperAscii(*text) : ToLowerAscii(*text);
        text += length;
    }
}

}  // namespace

void UpperCaseAscii(char* text) { ChangeCase<true>(text); }

void LowerCaseAscii(char* text) { ChangeCase<false>(text); }

bool EqualsNoCase(const char* a, const char* b)
{
    while (*a && *b) {
        const size_t length = CharacterLength(a);
        if (length != CharacterLength(b))
            return false;
        if (length == 1 ? ToUpperAscii(*a) != ToUpperAscii(*b) : memcmp(a, b, length) != 0)
            return false;
        a += length;
        b += length;
    }
    return *a == *b;
}

bool CopyCharacters(char* dst, size_t dstSize, const char* src)
{
    // Half a character would be another one.
    return CopyText(dst, dstSize, src, WholeCharacters);
}

bool AppendCharacters(char* dst, size_t dstSize, const char* src)
{
    return AppendText(dst, dstSize, src, WholeCharacters);
}

}  // namespace CodePages
