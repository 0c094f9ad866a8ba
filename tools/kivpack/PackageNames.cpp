#include "PackageNames.h"

#include <cstdio>

#include "ToolOutput.h"
#include "WindowsNames.h"

namespace {

// The length of the UTF-8 character that starts text[at], 0 when the bytes
// there are not one.
size_t CharacterLength(const std::string& text, size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Control characters: C0 and DEL as one byte, C1 as 0xC2 and 0x80 to 0x9F.
bool IsControl(const std::string& text, size_t at, size_t length)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    return (length == 1 && (lead < 0x20 || lead == 0x7F)) ||
           (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0);
}

}  // namespace

bool ToPackageText(const std::string& utf8, std::string& text)
{
    // Every character takes one byte in the code page, never more than in UTF-8.
    std::string converted(utf8.size() + 1, '\0');
    if (!WindowsNames::Utf8ToAnsi(utf8.c_str(), &converted[0], converted.size()))
        return false;
    text = converted.c_str();
    return true;
}

bool HasControlCharacter(const std::string& utf8)
{
    for (size_t at = 0; at < utf8.size();) {
        const size_t length = CharacterLength(utf8, at);
        if (length != 0 && IsControl(utf8, at, length))
            return true;
        at += length != 0 ? length : 1;
    }
    return false;
}

std::vector<std::string> NameProblems(const std::string& utf8, std::string& packageName)
{
    std::vector<std::string> problems;
    if (!ToPackageText(utf8, packageName)) {
        problems.push_back("holds a character code page " + std::to_string(WindowsNames::CodePage()) + " cannot write");
        packageName = utf8;
    }
    if (HasControlCharacter(utf8))
        problems.push_back("holds a control character");
    if (utf8.find_first_of("<>:\"/\\|?*") != std::string::npos)
        problems.push_back("holds a character Windows forbids in names (< > : \" / \\ | ? *)");
    if (utf8.find(';') != std::string::npos)
        problems.push_back("holds \";\", which ends a field of list.inf");
    if (WindowsNames::IsDeviceName(packageName.c_str(), packageName.size()))
        problems.push_back("is a name Windows keeps for a device");
    if (!utf8.empty() && (utf8.back() == '.' || utf8.back() == ' '))
        problems.push_back("ends with a dot or a blank, which Windows drops");
    return problems;
}

std::string EscapedText(const std::string& utf8)
{
    std::string text;
    for (size_t at = 0; at < utf8.size();) {
        const size_t length = CharacterLength(utf8, at);
        if (length != 0 && !IsControl(utf8, at, length)) {
            text.append(utf8, at, length);
            at += length;
            continue;
        }
        for (size_t end = at + (length != 0 ? length : 1); at < end; ++at) {
            char escape[8];
            snprintf(escape, sizeof escape, "<%02X>", static_cast<unsigned char>(utf8[at]));
            text += escape;
        }
    }
    return text;
}

std::string ShownName(const std::string& utf8)
{
    // Through the one function that shows package text, when the name is one.
    std::string text;
    return ToPackageText(utf8, text) ? TextQuoted(text) : "\"" + EscapedText(utf8) + "\"";
}
