#include "common/PackageText.h"

#include <cstring>
#include <utility>

#include "codepages/CodePages.h"

bool ToPackageText(const std::string& utf8, std::string& text)
{
    // Every character takes one or two bytes in the code page, never more than
    // in UTF-8 (where all but ASCII take two or more).
    std::string converted(utf8.size() + 1, '\0');
    if (!CodePages::Utf8ToAnsi(utf8.c_str(), &converted[0], converted.size()))
        return false;
    converted.resize(strlen(converted.c_str()));
    text = std::move(converted);
    return true;
}
