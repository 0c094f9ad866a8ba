// Prints a code page's table, one entry a line, for tests/codepage/compare-tables.sh: every single byte
// ("lead" for a lead byte) and every pair of a lead byte and a second byte (01 to FF) with the character it
// reads as, then every character of the Basic Multilingual Plane with the bytes that write it; "-" for none.
// The Windows build asks the system, the native build the tools' own table (CodePages).
//   kiv_code_page_table CODE_PAGE
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include "codepages/CodePages.h"
#endif

namespace {

constexpr uint32_t kLastCodePoint = 0xFFFF;
constexpr int kMostBytes = 4;  // room for what one character is written with

#ifdef _WIN32
// The system's own conversions, as Windows reads and writes names in the code page.
UINT g_codePage = 0;
bool Use(int codePage) { return IsValidCodePage(g_codePage = static_cast<UINT>(codePage)) != FALSE; }
bool IsLead(unsigned char byte) { return IsDBCSLeadByteEx(g_codePage, byte) != FALSE; }

bool Decode(const char* bytes, int length, uint32_t& codePoint)
{
    wchar_t out[2] = {};
    const bool one = MultiByteToWideChar(g_codePage, MB_ERR_INVALID_CHARS, bytes, length, out, 2) == 1;
    codePoint = out[0];
    return one;
}

int Encode(uint32_t codePoint, char* out)
{
    const wchar_t in = static_cast<wchar_t>(codePoint);
    BOOL usedDefault = FALSE;
    const int written =
        WideCharToMultiByte(g_codePage, WC_NO_BEST_FIT_CHARS, &in, 1, out, kMostBytes, nullptr, &usedDefault);
    return usedDefault ? 0 : written;
}
#else
// The tools' table, through the calls every reader and writer of package text makes.
bool Use(int codePage) { return CodePages::SetCodePage(codePage); }
bool IsLead(unsigned char byte) { return CodePages::IsLeadByte(byte); }

bool Decode(const char* bytes, int length, uint32_t& codePoint)
{
    size_t at = 0;
    return CodePages::DecodeAnsi(bytes, static_cast<size_t>(length), at, codePoint) &&
           at == static_cast<size_t>(length);
}

int Encode(uint32_t codePoint, char* out) { return static_cast<int>(CodePages::EncodeAnsi(codePoint, out)); }
#endif

void PrintRead(const char* bytes, int length)
{
    uint32_t codePoint = 0;
    if (Decode(bytes, length, codePoint))
        printf(" %04X\n", static_cast<unsigned>(codePoint));
    else
        printf(" -\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const int codePage = argc == 2 ? atoi(argv[1]) : 0;
    if (codePage <= 0 || !Use(codePage)) {
        fprintf(stderr, "usage: kiv_code_page_table CODE_PAGE (one this system converts)\n");
        return 2;
    }
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char in[2] = {static_cast<char>(byte), 0};
        printf("%02X", byte);
        if (IsLead(static_cast<unsigned char>(byte)))
            printf(" lead\n");
        else
            PrintRead(in, 1);
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
        for (unsigned trail = 1; trail < 256 && IsLead(static_cast<unsigned char>(lead)); ++trail) {
            const char in[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
            printf("%02X%02X", lead, trail);
            PrintRead(in, 2);
        }
    }
    for (uint32_t codePoint = 1; codePoint <= kLastCodePoint; ++codePoint) {
        char out[kMostBytes];
        const int length = Encode(codePoint, out);
        printf("U+%04X ", static_cast<unsigned>(codePoint));
        for (int i = 0; i < length; ++i)
            printf("%02X", static_cast<unsigned>(static_cast<unsigned char>(out[i])));
        fputs(length > 0 ? "\n" : "-\n", stdout);
    }
    return 0;
}
