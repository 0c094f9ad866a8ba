// The characters of the package's code page: which bytes begin a two-byte
// character, and text walked from character to character.
#include <cstring>

#include "codepages/CodePages.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace CodePages {

namespace {

// Windows' double-byte ANSI code pages and the bytes that begin a two-byte
// character in each, as the system's code page information gives them.
struct LeadByteRanges {
    int codePage;
    unsigned char ranges[2][2];  // first and last byte; an unused range is {1, 0}
};

constexpr LeadByteRanges kDoubleByteCodePages[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}},  // Japanese (Shift JIS)
    {936, {{0x81, 0xFE}, {1, 0}}},        // Simplified Chinese (GBK)
    {949, {{0x81, 0xFE}, {1, 0}}},        // Korean (Unified Hangul Code)
    {950, {{0x81, 0xFE}, {1, 0}}},        // Traditional Chinese (Big5)
};

}  // namespace

bool IsLeadByteOf(int codePage, unsigned char byte)
{
    for (const LeadByteRanges& page : kDoubleByteCodePages) {
        if (page.codePage != codePage)
            continue;
        for (const auto& range : page.ranges) {
            if (byte >= range[0] && byte <= range[1])
                return true;
        }
    }
    return false;
}

bool IsDoubleByteCodePage(int codePage)
{
    for (const LeadByteRanges& page : kDoubleByteCodePages) {
        if (page.codePage == codePage)
            return true;
    }
    return false;
}

namespace {

// The code page in use; 0 until first asked for. Not thread-safe: chosen
// before any thread reads text (the tools' --codepage, a test's CCodePage),
// and only read while threads run.
int g_codePage = 0;

}  // namespace

#ifndef _WIN32
// Its lead bytes, by the table above, and whether it has any; as
// g_codePage, written only while no other thread reads.
bool g_leadBytes[256] = {};

namespace {
bool g_doubleByte = false;
}  // namespace
#endif

int CodePage()
{
    if (g_codePage == 0) {
#ifdef _WIN32
        // The system reads the package's names in its own ANSI code page.
        g_codePage = static_cast<int>(GetACP());
#else
        g_codePage = kDefaultCodePage;
#endif
    }
    return g_codePage;
}

void SelectCodePage(int codePage)
{
    g_codePage = codePage;
#ifndef _WIN32
    g_doubleByte = false;
    for (int byte = 0; byte < 256; ++byte) {
        g_leadBytes[byte] = IsLeadByteOf(codePage, static_cast<unsigned char>(byte));
        g_doubleByte = g_doubleByte || g_leadBytes[byte];
    }
#endif
}

#ifdef _WIN32
bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(static_cast<UINT>(CodePage()), byte) != FALSE; }
#endif

bool EndsInHalfCharacter(const char* text)
{
    while (*text) {
        if (IsLeadByte(static_cast<unsigned char>(*text)) && text[1] == '\0')
            return true;
        text = NextCharacter(text);
    }
    return false;
}

bool IsCodePageText(const char* text)
{
#ifdef _WIN32
    const char* lead = text;
    while (*lead && !IsLeadByte(static_cast<unsigned char>(*lead)))
        ++lead;
    if (!*lead)
        return true;
    return MultiByteToWideChar(static_cast<UINT>(CodePage()), MB_ERR_INVALID_CHARS, text, -1, nullptr, 0) != 0;
#else
    const size_t length = strlen(text);
    uint32_t c;
    for (size_t at = AsciiRunLength(text); at < length; at += AsciiRunLength(text + at)) {
        if (!DecodeAnsi(text, length, at, c))
            return false;
    }
    return true;
#endif
}

size_t WholeCharacters(const char* text, size_t length, size_t room)
{
    if (length <= room)
        return length;
    size_t kept = 0;
    while (kept < room) {
        const size_t next = kept + (IsLeadByte(static_cast<unsigned char>(text[kept])) && kept + 1 < length ? 2 : 1);
        if (next > room)
            break;
        kept = next;
    }
    return kept;
}

namespace {

// The first or the last single-byte character c in text, or null.
const char* Find(const char* text, char c, bool last)
{
#ifndef _WIN32
    if (!g_doubleByte)
        return last ? strrchr(text, c) : strchr(text, c);
#endif
    const char* found = nullptr;
    for (; *text && !(found && !last); text = NextCharacter(text)) {
        if (*text == c)
            found = text;
    }
    return found;
}

}  // namespace

const char* FindCharacter(const char* text, char c) { return Find(text, c, false); }

const char* FindLastCharacter(const char* text, char c) { return Find(text, c, true); }

bool EndsWithBackslash(const char* text)
{
    const char* last = nullptr;
    for (; *text; text = NextCharacter(text))
        last = text;
    return last && *last == '\\';
}

}  // namespace CodePages
