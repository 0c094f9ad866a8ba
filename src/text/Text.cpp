#include "text/Text.h"

#include <climits>
#include <cstring>

bool CopyText(char* dst, size_t dstSize, const char* src, TextCut cut)
{
    if (dstSize == 0)
        return false;
    dst[0] = '\0';
    return AppendText(dst, dstSize, src, cut);
}

bool AppendText(char* dst, size_t dstSize, const char* src, TextCut cut)
{
    size_t used = strnlen(dst, dstSize);
    if (used >= dstSize)
        return false;
    size_t room = dstSize - 1 - used;
    size_t length = strlen(src);
    size_t taken = cut ? cut(src, length, room) : length < room ? length : room;
    memcpy(dst + used, src, taken);
    dst[used + taken] = '\0';
    return taken == length;
}

int AtoiSaturating(const char* text)
{
    // The white space atoi skips: blank, tab, line feed, vertical tab, form feed, CR.
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}
