// The code page as iconv reads and writes it, for the tools on POSIX systems, with the corrections that make
// its reading of Windows' code pages the one Windows has.
#include "codepages/CodePageConversion.h"

#include <cerrno>
#include <cstdio>

namespace CodePages {

namespace {

// Where iconv and Windows read a code page differently, Windows' reading counts: it is the one a package's
// names are read with where they were made and where they are installed. What follows is all that differs
// in Windows' ANSI code pages (kAnsiCodePages), as tests/codepages/compare-tables.sh finds it, byte by byte
// and pair by pair, against Windows' own conversion.

// The single bytes iconv leaves undefined. Windows reads those from 80 to 9F as the control of the same
// number (the five of 1252 among them), and those from A0 on as private-use characters (932's A0 and FD to
// FF as U+F8F0 to U+F8F3; FF of 936, 949 and 950; 874's DB to DE and FC to FF; AA, D2 and FF of 1253; ten
// of 1255 and two of 1257), which its conversion refuses as no character (MB_ERR_INVALID_CHARS): no name
// holds one, and the tools read them as none rather than as the Latin-1 character of their number.
constexpr unsigned kFirstControlByte = 0x80;
constexpr unsigned kFirstPrivateUseByte = 0xA0;

// Single bytes that Windows reads as a character iconv does not have.
struct ByteReading {
    int codePage;
    unsigned char byte;
    uint32_t codePoint;
};
constexpr ByteReading kBytesIconvLacks[] = {
    {1255, 0xCA, 0x05BA},  // Hebrew point holam haser for vav
};

// The rows of the double-byte code pages left to their users, and the pairs they left unassigned: iconv
// reads them as none, Windows as private-use characters, numbered on in the order below. In each block of
// rows, each pair that is still none takes the next code point, row by row, the second bytes in order.
struct PrivateUseRows {
    int codePage;
    unsigned char firstLead, lastLead;
    unsigned char trails[2][2];  // the second bytes of each row, first and last; an unused range is {1, 0}
    uint32_t firstCodePoint;
};
constexpr PrivateUseRows kPrivateUseRows[] = {
    // 936, 2,149 pairs: the user-defined rows AA-AF and F8-FE (second bytes A1-FE) and A1-A7 (40-A0),
    // then the pairs GBK leaves unassigned in its other rows (in A2-A9, D7 and FE), U+E000 to U+E864.
    {936, 0xAA, 0xAF, {{0xA1, 0xFE}, {1, 0}}, 0xE000},
    {936, 0xF8, 0xFE, {{0xA1, 0xFE}, {1, 0}}, 0xE234},
    {936, 0xA1, 0xA7, {{0x40, 0x7E}, {0x80, 0xA0}}, 0xE4C6},
    {936, 0x81, 0xFE, {{0x40, 0x7E}, {0x80, 0xFE}}, 0xE766},
    // 949, 188 pairs: the user-defined rows C9 and FE, U+E000 to U+E0BB.
    {949, 0xC9, 0xC9, {{0xA1, 0xFE}, {1, 0}}, 0xE000},
    {949, 0xFE, 0xFE, {{0xA1, 0xFE}, {1, 0}}, 0xE05E},
    // 950, 5,809 pairs: the user-defined rows FA-FE, 8E-A0 and 81-8D, U+E000 to U+F6B0.
    {950, 0xFA, 0xFE, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xE000},
    {950, 0x8E, 0xA0, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xE311},
    {950, 0x81, 0x8D, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xEEB8},
};

// Characters two pairs read as, of which Windows writes the other one than iconv: the double-line box
// drawing of 950, at A2A4 to A2A7 and again in row F9, written with the latter.
struct Spelling {
    int codePage;
    uint32_t codePoint;
    uint32_t bytes;
};
constexpr Spelling kWindowsSpellings[] = {
    {950, 0x2550, 0xF9F9},
    {950, 0x255E, 0xF9E9},
    {950, 0x2561, 0xF9EB},
    {950, 0x256A, 0xF9EA},
};

}  // namespace

void MatchWindows(int codePage, uint32_t* chars, uint32_t* pairs)
{
    for (unsigned byte = kFirstControlByte; byte < kFirstPrivateUseByte; ++byte) {
        if (chars[byte] == kNoCharacter)
            chars[byte] = byte;
    }
    for (const ByteReading& reading : kBytesIconvLacks) {
        if (reading.codePage == codePage)
            chars[reading.byte] = reading.codePoint;
    }
    if (!pairs)
        return;
    for (const PrivateUseRows& rows : kPrivateUseRows) {
        if (rows.codePage != codePage)
            continue;
        uint32_t next = rows.firstCodePoint;
        for (unsigned lead = rows.firstLead; lead <= rows.lastLead; ++lead) {
            for (const auto& range : rows.trails) {
                for (unsigned trail = range[0]; trail <= range[1]; ++trail) {
                    uint32_t& c = pairs[lead << 8 | trail];
                    if (c == 0)
                        c = next++;
                }
            }
        }
    }
}

CConversion::CConversion(int codePage, bool toCodePage) : m_codePage(codePage)
{
    char name[16];
    snprintf(name, sizeof name, "CP%d", codePage);
    m_convert = toCodePage ? iconv_open(name, "UTF-32LE") : iconv_open("UTF-32LE", name);
}

CConversion::~CConversion()
{
    if (IsOpen())
        iconv_close(m_convert);
}

bool CConversion::IsOpen() const { return m_convert != reinterpret_cast<iconv_t>(-1); }

bool CConversion::Decode(const unsigned char* bytes, size_t length, uint32_t& codePoint)
{
    char in[2] = {static_cast<char>(bytes[0]), static_cast<char>(length > 1 ? bytes[1] : 0)};
    unsigned char out[8];
    const bool converted = Convert(in, length, out, sizeof out) == 4;
    codePoint = static_cast<uint32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    return converted;
}

uint32_t CConversion::Encode(uint32_t codePoint)
{
    for (const Spelling& spelling : kWindowsSpellings) {
        if (spelling.codePage == m_codePage && spelling.codePoint == codePoint)
            return spelling.bytes;
    }
    char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>(codePoint >> 8 & 0xFF),
                  static_cast<char>(codePoint >> 16 & 0xFF), static_cast<char>(codePoint >> 24)};
    unsigned char out[4];
    const size_t length = Convert(in, sizeof in, out, sizeof out);
    return length == 1 ? out[0] : length == 2 ? static_cast<uint32_t>(out[0] << 8 | out[1]) : 0;
}

bool CConversion::StartsLonger(unsigned char) const { return m_incomplete; }

size_t CConversion::Convert(char* in, size_t inLength, unsigned char* out, size_t outSize)
{
    char* inAt = in;
    char* outAt = reinterpret_cast<char*>(out);
    size_t inLeft = inLength, outLeft = outSize;
    const bool converted = iconv(m_convert, &inAt, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1) &&
                           inLeft == 0 && iconv(m_convert, nullptr, nullptr, &outAt, &outLeft) == 0;
    m_incomplete = !converted && errno == EINVAL;
    iconv(m_convert, nullptr, nullptr, nullptr, nullptr);
    return converted ? outSize - outLeft : 0;
}

}  // namespace CodePages
