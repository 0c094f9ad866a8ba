// The name a copy gives its temporary, and the test for one.
#include "FileSystem.h"

#include <cstring>

namespace Platform {

namespace {

constexpr size_t kPrefixLength = sizeof kTemporaryPrefix - 1;
constexpr size_t kProcessDigits = 8;
constexpr size_t kSerialDigits = 6;
constexpr char kHexDigits[] = "0123456789abcdef";
static_assert(kTemporaryNameLength == kPrefixLength + kProcessDigits + 1 + kSerialDigits, "the name's parts");

unsigned long g_serial = 0;

void WriteHex(unsigned long value, size_t digits, char* out)
{
    for (size_t digit = 0; digit < digits; ++digit)
        out[digit] = kHexDigits[(value >> (4 * (digits - 1 - digit))) & 0xF];
}

bool ReadHex(const char* text, size_t digits, unsigned long& value)
{
    value = 0;
    for (size_t at = 0; at < digits; ++at) {
        const char* digit = text[at] ? strchr(kHexDigits, text[at]) : nullptr;
        if (!digit)
            return false;
        value = value << 4 | static_cast<unsigned long>(digit - kHexDigits);
    }
    return true;
}

}  // namespace

void NextTemporaryName(unsigned long process, char* out)
{
    memcpy(out, kTemporaryPrefix, kPrefixLength);
    WriteHex(process, kProcessDigits, out + kPrefixLength);
    out[kPrefixLength + kProcessDigits] = '.';
    WriteHex(g_serial++, kSerialDigits, out + kPrefixLength + kProcessDigits + 1);
    out[kTemporaryNameLength] = '\0';
}

bool ReadTemporaryName(const char* name, unsigned long& process)
{
    unsigned long serial;
    return strlen(name) == kTemporaryNameLength && memcmp(name, kTemporaryPrefix, kPrefixLength) == 0 &&
           ReadHex(name + kPrefixLength, kProcessDigits, process) && name[kPrefixLength + kProcessDigits] == '.' &&
           ReadHex(name + kPrefixLength + kProcessDigits + 1, kSerialDigits, serial);
}

}  // namespace Platform
