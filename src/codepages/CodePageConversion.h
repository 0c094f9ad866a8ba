// The system's own conversion of a code page, one character at a time, which the code page's table is filled from.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codepages/CodePages.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace CodePages {

// One conversion of the system, from the code page or into it: iconv on POSIX
// systems (CodePageIconv.cpp), MultiByteToWideChar and WideCharToMultiByte on
// Windows (CodePageWin32.cpp).
class CConversion {
public:
    CConversion(int codePage, bool toCodePage);
    ~CConversion();
    CConversion(const CConversion&) = delete;
    CConversion& operator=(const CConversion&) = delete;

    bool IsOpen() const;

    // The one character that length bytes (1 or 2) write; false for none.
    bool Decode(const unsigned char* bytes, size_t length, uint32_t& codePoint);

    // The bytes that write codePoint (as lead << 8 | trail for two), or 0.
    uint32_t Encode(uint32_t codePoint);

    // After a single byte failed to decode: whether the system takes it for
    // the start of a longer character.
    bool StartsLonger(unsigned char byte) const;

private:
    int m_codePage;
#ifndef _WIN32
    // Converts all of in; the number of bytes written, 0 when iconv could
    // not convert all of it.
    size_t Convert(char* in, size_t inLength, unsigned char* out, size_t outSize);

    iconv_t m_convert;
    bool m_incomplete = false;
#endif
};

// Makes a table filled from the conversion Windows' reading of the code page
// where the system's conversion reads it otherwise: natively iconv's, by the
// corrections in CodePageIconv.cpp; on Windows the conversion is Windows'
// own and nothing changes. chars holds the character of each single byte
// (kNoCharacter for none; a lead byte's own number), pairs, unless null, the
// character of each pair at lead << 8 | trail (0 for none).
void MatchWindows(int codePage, uint32_t* chars, uint32_t* pairs);

}  // namespace CodePages
