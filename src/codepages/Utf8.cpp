// Text of the code page and UTF-8, each into the other.
#include "codepages/CodePages.h"

#include <cstdint>
#include <cstring>

namespace CodePages {

bool DecodeUtf8(const char* text, size_t length, size_t& at, uint32_t& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t extra = lead < 0x80             ? 0
                         : (lead & 0xE0) == 0xC0 ? 1
                         : (lead & 0xF0) == 0xE0 ? 2
                         : (lead & 0xF8) == 0xF0 ? 3
                                                 : 4;
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

namespace {

// Writes the characters of text, read by decode, into out as encode writes
// them (at most 4 bytes each), NUL-terminated; false when a character does
// not decode or encode, or out (outSize bytes) is too small.
template <class Decode, class Encode>
bool Convert(const char* text, char* out, size_t outSize, Decode decode, Encode encode)
{
    const size_t length = strlen(text);
    size_t used = 0;
    for (size_t at = 0; at < length;) {
        uint32_t c;
        char bytes[4];
        size_t size;
        if (!decode(text, length, at, c) || (size = encode(c, bytes)) == 0 || used + size >= outSize)
            return false;
        memcpy(out + used, bytes, size);
        used += size;
    }
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

// Convert, with the leading run of ASCII copied at once: a path is mostly
// ASCII, which is the same in UTF-8 and, where the code page reads it as
// itself (AsciiRunLength, EncodeAnsi), in the code page.
template <class Decode, class Encode>
bool ConvertAfterAscii(const char* text, char* out, size_t outSize, Decode decode, Encode encode)
{
    const size_t same = AsciiRunLength(text);
    if (same >= outSize)
        return false;
    memcpy(out, text, same);
    return Convert(text + same, out + same, outSize - same, decode, encode);
}

}  // namespace

bool AnsiToUtf8(const char* ansi, char* out, size_t outSize)
{
    return ConvertAfterAscii(ansi, out, outSize, DecodeAnsi, EncodeUtf8);
}

bool Utf8ToAnsi(const char* utf8, char* out, size_t outSize)
{
    return ConvertAfterAscii(utf8, out, outSize, DecodeUtf8, EncodeAnsi);
}

}  // namespace CodePages
