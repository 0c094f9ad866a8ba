// DescribeError on Windows. Kept apart from the installer's own calls, which
// never show a system message.
#include <cstdlib>
#include <cstring>
#include <windows.h>

#include "platform/Platform.h"
#include "text/Text.h"

namespace Platform {

void DescribeError(int code, char* text, size_t size)
{
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0, text, static_cast<DWORD>(size), nullptr);
    if (length == 0) {
        CopyText(text, size, "error ");
        char digits[12];
        _ultoa(static_cast<unsigned long>(code), digits, 10);
        AppendText(text, size, digits);
        return;
    }
    // The system's messages end with a full stop and a line end.
    size_t end = strlen(text);
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r' || text[end - 1] == ' ' || text[end - 1] == '.'))
        --end;
    text[end] = '\0';
}

}  // namespace Platform
