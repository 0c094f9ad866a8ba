#include "kivpack/PackageNames.h"

#include "codepages/CodePages.h"
#include "common/PackageText.h"
#include "common/Shown.h"
#include "windowsnames/WindowsNames.h"

bool HasControlCharacter(const std::string& utf8)
{
    for (size_t at = 0; at < utf8.size();) {
        // ASCII is its own character: only the rest is decoded. A byte that
        // is no UTF-8 is no control character.
        uint32_t c = static_cast<unsigned char>(utf8[at]);
        if (c < 0x80) {
            ++at;
        } else if (!CodePages::DecodeUtf8(utf8.data(), utf8.size(), at, c)) {
            ++at;
            continue;
        }
        if (IsControlCharacter(c))
            return true;
    }
    return false;
}

std::vector<std::string> NameProblems(const std::string& utf8, std::string& packageName)
{
    std::vector<std::string> problems;
    if (!ToPackageText(utf8, packageName)) {
        problems.push_back("holds a character code page " + std::to_string(CodePages::CodePage()) + " cannot write");
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
