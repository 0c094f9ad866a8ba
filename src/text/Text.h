// Bounded operations on NUL-terminated 8-bit text held in fixed-size buffers.
#pragma once
#include <cstddef>

// How much of a text of length bytes a cut keeps when room bytes are left:
// the code page's rule (CodePages::WholeCharacters) cuts only between
// characters. Without one, a cut falls after room bytes.
using TextCut = size_t (*)(const char* text, size_t length, size_t room);

// Copies src into dst (dstSize bytes, NUL included), cutting it to fit.
// Returns true when the whole text fitted.
bool CopyText(char* dst, size_t dstSize, const char* src, TextCut cut = nullptr);

// Appends src to the text already in dst, cutting it to fit.
// Returns true when the whole text fitted.
bool AppendText(char* dst, size_t dstSize, const char* src, TextCut cut = nullptr);

// The case of one ASCII letter, whatever the locale; any other byte stays.
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Converts like atoi (leading white space, optional sign, decimal digits up to
// the first other character, 0 without digits) but saturates at the limits of
// a 32-bit signed integer instead of overflowing.
int AtoiSaturating(const char* text);
