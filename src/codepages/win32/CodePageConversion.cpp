// The code page as Windows itself reads and writes it: the system's conversions, for the installer and the
// Windows tools.
#include "codepages/CodePageConversion.h"

#include <windows.h>

namespace CodePages {

CConversion::CConversion(int codePage, bool) : m_codePage(codePage) {}

CConversion::~CConversion() = default;

bool CConversion::IsOpen() const { return IsValidCodePage(static_cast<UINT>(m_codePage)) != FALSE; }

bool CConversion::Decode(const unsigned char* bytes, size_t length, uint32_t& codePoint)
{
    wchar_t out[2] = {};
    const bool converted =
        MultiByteToWideChar(static_cast<UINT>(m_codePage), MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                            static_cast<int>(length), out, 2) == 1;
    codePoint = static_cast<uint32_t>(out[0]);
    return converted;
}

uint32_t CConversion::Encode(uint32_t codePoint)
{
    if (codePoint > 0xFFFF)
        return 0;
    unsigned char out[4];
    const wchar_t in = static_cast<wchar_t>(codePoint);
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(static_cast<UINT>(m_codePage), WC_NO_BEST_FIT_CHARS, &in, 1,
                                            reinterpret_cast<char*>(out), sizeof out, nullptr, &usedDefault);
    if (written <= 0 || usedDefault)
        return 0;
    return written == 1 ? out[0] : written == 2 ? static_cast<uint32_t>(out[0] << 8 | out[1]) : 0;
}

bool CConversion::StartsLonger(unsigned char byte) const
{
    return IsDBCSLeadByteEx(static_cast<UINT>(m_codePage), byte) != FALSE;
}

void MatchWindows(int, uint32_t*, uint32_t*) {}

}  // namespace CodePages
