// The system's text on Windows: its ANSI code page, the package's own.
#include "common/SystemText.h"

#include "common/PackageText.h"

std::string ShownSystemText(const std::string& text, Quotes quotes) { return InQuotes(Shown(text), quotes); }

std::string ShownSystemPath(const std::filesystem::path& path, Quotes quotes)
{
    const std::string utf8 = path.u8string();
    std::string text;
    if (ToPackageText(utf8, text))
        return InQuotes(Shown(text), quotes);
    return InQuotes(ShownUtf8(utf8), quotes);
}

const char kSystemSeparator = '\\';

void AppendInSystemForm(std::string& shown, const char* bytes, size_t length, uint32_t, ShowAs)
{
    shown.append(bytes, length);
}

bool FromSystemText(const std::string& text, std::string& packageText)
{
    packageText = text;
    return true;
}
