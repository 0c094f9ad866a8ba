// Bounded operations on NUL-terminated 8-bit text held in fixed-size buffers.
#pragma once
#include <cstddef>

// Copies src into dst (dstSize bytes, NUL included), cutting it to fit
// before the first character of the package's code page that does not fit
// whole. Returns true when the whole text fitted.
bool CopyText(char* dst, size_t dstSize, const char* src);

// Appends src to the text already in dst, cutting it to fit.
// Returns true when the whole text fitted.
bool AppendText(char* dst, size_t dstSize, const char* src);

// Case changes touch only the ASCII letters, whatever the locale. A text is
// changed character by character: a byte of a two-byte character of the
// package's code page is never changed, even where it is a letter.
inline char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char ToLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
void UpperCaseAscii(char* text);
void LowerCaseAscii(char* text);

// Compares two texts character by character, without regard to the case of
// the ASCII letters.
bool EqualsNoCase(const char* a, const char* b);

// Converts like atoi (leading white space, optional sign, decimal digits up to
// the first other character, 0 without digits) but saturates at the limits of
// a 32-bit signed integer instead of overflowing.
int AtoiSaturating(const char* text);
