// Code page 1252, UTF-8 and the letter case of file names.
#include "WindowsNames.h"

#include <cstdint>
#include <cstring>

namespace WindowsNames {

namespace {

// The characters of code page 1252 at 0x80 to 0x9F. The five bytes that 1252
// leaves undefined stand for the control characters of the same number, as
// Windows converts them.
const uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t AnsiToCodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// Decodes one UTF-8 character at text[at] (of length bytes); false when the
// bytes there are not UTF-8. Advances at.
bool DecodeUtf8(const char* text, size_t length, size_t& at, uint32_t& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 4;
    if (extra == 4 || at + extra >= length)
        return false;
    codePoint = extra == 0 ? lead : lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[extra] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint < 0xE000))
        return false;
    at += extra + 1;
    return true;
}

// The lower-case form of the letters 1252 can write, and of the capital of
// f with hook, which 1252 cannot write but Windows pairs with it; every other
// character stands for itself.
uint32_t FoldCase(uint32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    switch (c) {
    case 0x0152: return 0x0153;  // OE ligature
    case 0x0160: return 0x0161;  // S caron
    case 0x017D: return 0x017E;  // Z caron
    case 0x0178: return 0x00FF;  // Y diaeresis
    case 0x0191: return 0x0192;  // F with hook
    default: return c;
    }
}

}  // namespace

bool AnsiToUtf8(const char* ansi, char* out, size_t outSize)
{
    size_t used = 0;
    for (; *ansi; ++ansi) {
        const uint32_t c = AnsiToCodePoint(static_cast<unsigned char>(*ansi));
        const size_t bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (used + bytes >= outSize)
            return false;
        if (bytes == 1) {
            out[used++] = static_cast<char>(c);
        } else if (bytes == 2) {
            out[used++] = static_cast<char>(0xC0 | c >> 6);
            out[used++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out[used++] = static_cast<char>(0xE0 | c >> 12);
            out[used++] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out[used++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

bool Utf8ToAnsi(const char* utf8, char* out, size_t outSize)
{
    const size_t length = strlen(utf8);
    size_t used = 0;
    for (size_t at = 0; at < length;) {
        uint32_t c;
        if (!DecodeUtf8(utf8, length, at, c) || used + 1 >= outSize)
            return false;
        int byte = c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? static_cast<int>(c) : -1;
        for (int i = 0; i < 32 && byte < 0; ++i) {
            if (kHighControls[i] == c)
                byte = 0x80 + i;
        }
        if (byte < 0)
            return false;
        out[used++] = static_cast<char>(byte);
    }
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

void FoldAnsiCase(char* text)
{
    for (; *text; ++text) {
        const uint32_t folded = FoldCase(AnsiToCodePoint(static_cast<unsigned char>(*text)));
        if (folded < 0x80 || (folded >= 0xA0 && folded <= 0xFF)) {
            *text = static_cast<char>(folded);
            continue;
        }
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == folded)
                *text = static_cast<char>(0x80 + i);
        }
    }
}

bool SameNameIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength)
{
    size_t i = 0, j = 0;
    while (i < aLength && j < bLength) {
        uint32_t ca, cb;
        size_t nextI = i, nextJ = j;
        const bool aDecoded = DecodeUtf8(a, aLength, nextI, ca);
        const bool bDecoded = DecodeUtf8(b, bLength, nextJ, cb);
        if (!aDecoded || !bDecoded) {
            // Bytes that are no UTF-8 compare as they are.
            if (a[i] != b[j])
                return false;
            ++i;
            ++j;
            continue;
        }
        if (FoldCase(ca) != FoldCase(cb))
            return false;
        i = nextI;
        j = nextJ;
    }
    return i == aLength && j == bLength;
}

}  // namespace WindowsNames
