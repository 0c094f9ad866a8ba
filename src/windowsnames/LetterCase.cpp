// The letter case of file names, as Windows compares them.
#include "windowsnames/WindowsNames.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "text/Text.h"

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
        return static_cast<uint32_t>(toCapital ? ToUpperAscii(static_cast<char>(c))
                                               : ToLowerAscii(static_cast<char>(c)));
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

uint32_t SmallLetter(uint32_t c) { return ChangeCase(c, false); }

// The letters of the code pages whose capital, as the system's case mapping
// gives it, Windows' own case table for file names does not pair with them:
// they name other files than their capitals. The micro sign (1252 and
// others; its capital is Greek Mu), the dotless i (1254; I) and the final
// sigma (1253; Σ, which σ pairs with). Found by installing every character
// of each single-byte code page under Wine (tests/kivinstall/compare-letter-case.sh).
constexpr uint32_t kKeepTheirCase[] = {0x00B5, 0x0131, 0x03C2};

bool KeepsItsCase(uint32_t c)
{
    for (uint32_t kept : kKeepTheirCase) {
        if (c == kept)
            return true;
    }
    return false;
}

// The form under which Windows compares a character in file names: its
// capital, but for the letters whose capital Windows does not pair with them.
uint32_t FoldCase(uint32_t c) { return c < 'a' || KeepsItsCase(c) ? c : ChangeCase(c, true); }

}  // namespace

bool CanFoldCase()
{
#ifdef _WIN32
    return true;
#else
    return UnicodeLocale() != nullptr;
#endif
}

void FoldAnsiCase(char* text)
{
    // Each letter is written as the small letter of its pair when the code
    // page has it, else as the capital, so that the letters Windows takes
    // for one fold to one spelling. A character keeps its length in bytes.
    const size_t length = strlen(text);
    for (size_t at = 0; at < length;) {
        // A run of ASCII is itself in the code page: its small letters are a to z.
        for (const size_t end = at + CodePages::AsciiRunLength(text + at); at < end; ++at)
            text[at] = ToLowerAscii(text[at]);
        const size_t start = at;
        uint32_t c;
        if (at == length)
            break;
        if (!CodePages::DecodeAnsi(text, length, at, c)) {
            at += CodePages::CharacterLength(text + at);
            continue;
        }
        const uint32_t capital = FoldCase(c);
        const uint32_t small = SmallLetter(capital);
        char bytes[2];
        size_t size = FoldCase(small) == capital ? CodePages::EncodeAnsi(small, bytes) : 0;
        if (size != at - start)
            size = CodePages::EncodeAnsi(capital, bytes);
        if (size == at - start)
            memcpy(text + start, bytes, size);
    }
}

size_t FoldUtf8Name(const char* name, size_t length, char* out)
{
    size_t used = 0;
    for (size_t at = 0; at < length;) {
        // ASCII is its own character and stays one byte when folded: only the
        // rest is decoded and encoded.
        uint32_t c = static_cast<unsigned char>(name[at]);
        size_t next = at;
        if (c < 0x80) {
            out[used++] = static_cast<char>(FoldCase(c));
            ++at;
        } else if (CodePages::DecodeUtf8(name, length, next, c)) {
            used += CodePages::EncodeUtf8(FoldCase(c), out + used);
            at = next;
        } else {
            out[used++] = name[at++];
        }
    }
    out[used] = '\0';
    return used;
}

std::string FoldedUtf8Name(const char* name, size_t length)
{
    // A name is folded on the stack (on the heap when it is longer than names
    // are) and kept in a string of its own length.
    char onStack[512];
    const size_t room = kFoldRoom * length + 1;
    const std::unique_ptr<char[]> onHeap(room > sizeof onStack ? new char[room] : nullptr);
    char* folded = onHeap ? onHeap.get() : onStack;
    return std::string(folded, FoldUtf8Name(name, length, folded));
}

std::string FoldedUtf8Name(const std::string& name) { return FoldedUtf8Name(name.data(), name.size()); }

}  // namespace WindowsNames
