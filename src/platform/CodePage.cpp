// The package's code page and UTF-8, and the letter case of file names.
#include "WindowsNames.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "TextBuffer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <clocale>
#include <cwctype>
#include <locale.h>
#endif

namespace WindowsNames {

namespace {

#ifndef _WIN32
// The system's Unicode case mapping: the C library's UTF-8 locale, made once.
locale_t UnicodeLocale()
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return unicode;
}
#endif

// A character's capital (toCapital) or small letter, as the system's case
// mapping gives it; one without the other stands for itself. ASCII needs no
// locale.
uint32_t ChangeCase(uint32_t c, bool toCapital)
{
    if (c < 0x80)
        return static_cast<uint32_t>(toCapital ? ToUpperAscii(static_cast<char>(c)) : ToLowerAscii(static_cast<char>(c)));
#ifdef _WIN32
    if (c > 0xFFFF)
        return c;
    wchar_t wide = static_cast<wchar_t>(c);
    (toCapital ? CharUpperBuffW : CharLowerBuffW)(&wide, 1);
    return static_cast<uint32_t>(wide);
#else
    // Without the locale (CanFoldCase tells), letters outside ASCII keep their case.
    const locale_t unicode = UnicodeLocale();
    if (!unicode)
        return c;
    const wint_t wide = static_cast<wint_t>(c);
    return static_cast<uint32_t>(toCapital ? towupper_l(wide, unicode) : towlower_l(wide, unicode));
#endif
}

uint32_t SmallLetter(uint32_t c)
{
    return ChangeCase(c, false);
}

// The form under which Windows compares a character in file names: its
// capital. The micro sign is the one letter of 1252 whose capital (Greek Mu)
// Windows does not pair with it.
uint32_t FoldCase(uint32_t c)
{
    return c < 'a' || c == 0xB5 ? c : ChangeCase(c, true);
}

}  // namespace

bool CanFoldCase()
{
#ifdef _WIN32
    return true;
#else
    return UnicodeLocale() != nullptr;
#endif
}

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

bool AnsiToUtf8(const char* ansi, char* out, size_t outSize)
{
    const size_t length = strlen(ansi);
    size_t used = 0;
    for (size_t at = 0; at < length;) {
        uint32_t c;
        if (!DecodeAnsi(ansi, length, at, c))
            return false;
        char bytes[4];
        const size_t size = EncodeUtf8(c, bytes);
        if (used + size >= outSize)
            return false;
        memcpy(out + used, bytes, size);
        used += size;
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
        char bytes[2];
        size_t size;
        if (!DecodeUtf8(utf8, length, at, c) || (size = EncodeAnsi(c, bytes)) == 0 || used + size >= outSize)
            return false;
        memcpy(out + used, bytes, size);
        used += size;
    }
    if (outSize == 0)
        return false;
    out[used] = '\0';
    return true;
}

void FoldAnsiCase(char* text)
{
    // Each letter is written as the small letter of its pair when the code
    // page has it, else as the capital, so that the letters Windows takes
    // for one fold to one spelling. A character keeps its length in bytes.
    const size_t length = strlen(text);
    for (size_t at = 0; at < length;) {
        const size_t start = at;
        uint32_t c;
        if (!DecodeAnsi(text, length, at, c)) {
            at += CharacterLength(text + at);
            continue;
        }
        const uint32_t capital = FoldCase(c);
        const uint32_t small = SmallLetter(capital);
        char bytes[2];
        size_t size = FoldCase(small) == capital ? EncodeAnsi(small, bytes) : 0;
        if (size != at - start)
            size = EncodeAnsi(capital, bytes);
        if (size == at - start)
            memcpy(text + start, bytes, size);
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

std::string FoldedUtf8Name(const std::string& name)
{
    std::string folded(kFoldRoom * name.size() + 1, '\0');
    folded.resize(FoldUtf8Name(name.data(), name.size(), &folded[0]));
    return folded;
}

bool SameNameIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength)
{
    return FoldedUtf8Name(std::string(a, aLength)) == FoldedUtf8Name(std::string(b, bLength));
}

}  // namespace WindowsNames
