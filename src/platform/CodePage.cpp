// Code page 1252, UTF-8 and the letter case of file names.
#include "WindowsNames.h"

#include <cstdint>
#include <cstring>
#include <string>

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

// Writes a character as UTF-8 into out (room for 4 bytes); returns the length.
size_t EncodeUtf8(uint32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | c >> 6);
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | c >> 18);
    out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
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
        char bytes[4];
        const size_t length = EncodeUtf8(c, bytes);
        if (used + length >= outSize)
            return false;
        memcpy(out + used, bytes, length);
        used += length;
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

size_t FoldUtf8Name(const char* name, size_t length, char* out)
{
    size_t used = 0;
    for (size_t at = 0; at < length;) {
        uint32_t c;
        size_t next = at;
        if (DecodeUtf8(name, length, next, c)) {
            used += EncodeUtf8(FoldCase(c), out + used);
            at = next;
        } else {
            out[used++] = name[at++];
        }
    }
    out[used] = '\0';
    return used;
}

bool SameNameIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength)
{
    std::string foldedA(kFoldRoom * aLength + 1, '\0'), foldedB(kFoldRoom * bLength + 1, '\0');
    const size_t lengthA = FoldUtf8Name(a, aLength, &foldedA[0]);
    const size_t lengthB = FoldUtf8Name(b, bLength, &foldedB[0]);
    return lengthA == lengthB && memcmp(foldedA.data(), foldedB.data(), lengthA) == 0;
}

}  // namespace WindowsNames
