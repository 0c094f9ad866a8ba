// UTF-16 text from Windows into its code page, exactly or not at all.
#include "codepages/CodePages.h"

#include <climits>
#include <windows.h>

namespace CodePages {

bool WideToAnsi(const wchar_t* wide, char* out, size_t outSize)
{
    if (outSize == 0 || outSize > INT_MAX)
        return false;
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(static_cast<UINT>(CodePage()), WC_NO_BEST_FIT_CHARS, wide, -1, out,
                                            static_cast<int>(outSize), nullptr, &usedDefault);
    return written > 0 && !usedDefault;
}

}  // namespace CodePages
