// The names a copy gives its temporaries, and the test for one.
#include "platform/TemporaryName.h"

#include <cstring>

namespace Platform {

namespace {

constexpr size_t kPrefixLength = sizeof kTemporaryPrefix - 1;
constexpr size_t kProcessDigits = 8;
constexpr size_t kSerialDigits = 6;
constexpr size_t kShortSerialDigits = 2;
// The form before the marks: ".kivtmp." process "." serial.
constexpr size_t kUnmarkedNameLength = kPrefixLength + 1 + kProcessDigits + 1 + kSerialDigits;
constexpr char kHexDigits[] = "0123456789abcdef";
static_assert(kTemporaryNameLength == kPrefixLength + 2 + kProcessDigits + 1 + kSerialDigits, "the name's parts");
static_assert(kShortTemporaryNameLength == kPrefixLength + 1 + kShortSerialDigits, "the short name's parts");

// Not thread-safe: every temporary is named by the thread that walks a run (TemporaryName.h).
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

bool IsMark(char c) { return c == kWindowsMark || c == kNativeMark; }

}  // namespace

void NextTemporaryName(char mark, unsigned long process, char* out)
{
    memcpy(out, kTemporaryPrefix, kPrefixLength);
    char* at = out + kPrefixLength;
    *at++ = '.';
    *at++ = mark;
    WriteHex(process, kProcessDigits, at);
    at[kProcessDigits] = '.';
    WriteHex(g_serial++, kSerialDigits, at + kProcessDigits + 1);
    out[kTemporaryNameLength] = '\0';
}

void NextShortTemporaryName(char mark, char* out)
{
    memcpy(out, kTemporaryPrefix, kPrefixLength);
    out[kPrefixLength] = mark;
    WriteHex(g_serial++, kShortSerialDigits, out + kPrefixLength + 1);
    out[kShortTemporaryNameLength] = '\0';
}

FoundTemporary ReadTemporaryName(const char* name, char mark)
{
    FoundTemporary found = {false, false, false, 0};
    const size_t length = strlen(name);
    if (length < kShortTemporaryNameLength || memcmp(name, kTemporaryPrefix, kPrefixLength) != 0)
        return found;
    const char* rest = name + kPrefixLength;
    unsigned long serial;
    if (length == kTemporaryNameLength) {
        found.isTemporary = rest[0] == '.' && IsMark(rest[1]) && ReadHex(rest + 2, kProcessDigits, found.process) &&
                            rest[2 + kProcessDigits] == '.' &&
                            ReadHex(rest + 3 + kProcessDigits, kSerialDigits, serial);
        found.hasProcess = found.isTemporary;
        found.ours = found.isTemporary && rest[1] == mark;
    } else if (length == kShortTemporaryNameLength) {
        found.isTemporary = IsMark(rest[0]) && ReadHex(rest + 1, kShortSerialDigits, serial);
        found.ours = found.isTemporary && rest[0] == mark;
    } else if (length == kUnmarkedNameLength) {
        found.isTemporary = rest[0] == '.' && ReadHex(rest + 1, kProcessDigits, serial) &&
                            rest[1 + kProcessDigits] == '.' &&
                            ReadHex(rest + 2 + kProcessDigits, kSerialDigits, serial);
    }
    return found;
}

}  // namespace Platform
