// The package's code page: the character each of its bytes stands for, as
// the system's own conversion gives it (iconv, or MultiByteToWideChar).
#include "WindowsNames.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace WindowsNames {

namespace {

struct CodePageTable {
    int codePage = 0;  // 0 until first use
    uint32_t chars[256];
};

CodePageTable g_table;

// Fills chars with the character of every byte of codePage. A byte the code
// page leaves undefined stands for the character of the same number, as
// Windows converts the undefined bytes of 1252. False when the system cannot
// convert the code page.
bool Fill(int codePage, uint32_t (&chars)[256])
{
#ifdef _WIN32
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t out;
        chars[byte] = MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, &in, 1, &out, 1) == 1
                          ? static_cast<uint32_t>(out)
                          : static_cast<uint32_t>(byte);
    }
    return chars[static_cast<unsigned char>('A')] == 'A';
#else
    char name[16];
    snprintf(name, sizeof name, "CP%d", codePage);
    iconv_t convert = iconv_open("UTF-32LE", name);
    if (convert == reinterpret_cast<iconv_t>(-1))
        return false;
    bool singleByte = true;
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        unsigned char out[8];
        char* inAt = &in;
        char* outAt = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        const bool converted = iconv(convert, &inAt, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1) &&
                               sizeof out - outLeft == 4;
        iconv(convert, nullptr, nullptr, nullptr, nullptr);
        chars[byte] = converted ? static_cast<uint32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24)
                                : static_cast<uint32_t>(byte);
        // A byte that starts a longer sequence belongs to no single-byte code page.
        singleByte = singleByte && (converted || errno != EINVAL);
    }
    iconv_close(convert);
    return singleByte && chars[static_cast<unsigned char>('A')] == 'A';
#endif
}

const CodePageTable& Table()
{
    if (g_table.codePage == 0) {
#ifdef _WIN32
        // The system reads the package's names in its own ANSI code page.
        g_table.codePage = static_cast<int>(GetACP());
#else
        g_table.codePage = kDefaultCodePage;
#endif
        if (!Fill(g_table.codePage, g_table.chars)) {
            for (int byte = 0; byte < 256; ++byte)
                g_table.chars[byte] = static_cast<uint32_t>(byte);
        }
    }
    return g_table;
}

}  // namespace

bool SetCodePage(int codePage)
{
    CodePageTable table;
    if (codePage <= 0 || !Fill(codePage, table.chars))
        return false;
    table.codePage = codePage;
    g_table = table;
    return true;
}

int CodePage()
{
    return Table().codePage;
}

uint32_t CodePointOf(unsigned char byte)
{
    return Table().chars[byte];
}

int ByteOf(uint32_t codePoint)
{
    const CodePageTable& table = Table();
    // ASCII stands for itself in every code page the tools take.
    if (codePoint < 0x80 && table.chars[codePoint] == codePoint)
        return static_cast<int>(codePoint);
    for (int byte = 0x80; byte < 256; ++byte) {
        if (table.chars[byte] == codePoint)
            return byte;
    }
    return -1;
}

}  // namespace WindowsNames
