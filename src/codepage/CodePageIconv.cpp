// The code page as iconv reads and writes it, for the tools on POSIX systems.
#include "CodePageConversion.h"

#include <cerrno>
#include <cstdio>

namespace CodePages {

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

bool CConversion::IsOpen() const
{
    return m_convert != reinterpret_cast<iconv_t>(-1);
}

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
    char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>(codePoint >> 8 & 0xFF),
                  static_cast<char>(codePoint >> 16 & 0xFF), static_cast<char>(codePoint >> 24)};
    unsigned char out[4];
    const size_t length = Convert(in, sizeof in, out, sizeof out);
    return length == 1 ? out[0] : length == 2 ? static_cast<uint32_t>(out[0] << 8 | out[1]) : 0;
}

bool CConversion::StartsLonger(unsigned char) const
{
    return m_incomplete;
}

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
