// Device names: the levels no file can be reached by on Windows.
#include "windowsnames/WindowsNames.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace WindowsNames {

namespace {

// The character a byte of a name stands for. On Windows asked of the system
// for its own code page, so that the installer does not carry the tools'
// code page table for one byte.
uint32_t CharacterOf(unsigned char byte)
{
#ifdef _WIN32
    const char in = static_cast<char>(byte);
    wchar_t out;
    return MultiByteToWideChar(CP_ACP, 0, &in, 1, &out, 1) == 1 ? static_cast<uint32_t>(out) : byte;
#else
    return CodePages::CodePointOf(byte);
#endif
}

}  // namespace

bool IsDeviceName(const char* name, size_t length)
{
    // The name before its first dot, less trailing blanks. Neither is ever
    // the second byte of a character, and every letter of a device name is a
    // character of its own: a name that starts with a two-byte character is
    // none.
    size_t base = 0;
    while (base < length && name[base] != '.')
        ++base;
    while (base > 0 && name[base - 1] == ' ')
        --base;
    if (base != 3 && base != 4)
        return false;
    // The names in small letters, by their length: three, or four with a digit.
    static const char kDevices[][4] = {"con", "prn", "aux", "nul", "com", "lpt"};
    bool named = false;
    for (size_t d = base == 3 ? 0 : 4; d < (base == 3 ? 4u : 6u) && !named; ++d)
        named = (name[0] | 0x20) == kDevices[d][0] && (name[1] | 0x20) == kDevices[d][1] &&
                (name[2] | 0x20) == kDevices[d][2];
    if (!named || base == 3)
        return named;
    // Windows takes the superscripts one, two and three for digits too: a
    // single byte in the code pages that have them.
    const unsigned char last = static_cast<unsigned char>(name[3]);
    const uint32_t digit = CodePages::IsLeadByte(last) ? 0 : CharacterOf(last);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool HasDeviceName(const char* path)
{
    for (const char* level = path;;) {
        const char* end = level;
        while (*end && !IsSeparator(*end))
            end = CodePages::NextCharacter(end);
        if (IsDeviceName(level, static_cast<size_t>(end - level)))
            return true;
        if (!*end)
            return false;
        level = end + 1;
    }
}

}  // namespace WindowsNames
