// The system's text on POSIX systems: UTF-8.
#include "common/SystemText.h"

#include "codepages/CodePages.h"
#include "common/PackageText.h"

std::string ShownSystemText(const std::string& text, Quotes quotes) { return InQuotes(ShownUtf8(text), quotes); }

std::string ShownSystemPath(const std::filesystem::path& path, Quotes quotes)
{
    return ShownSystemText(path.native(), quotes);
}

const char kSystemSeparator = '/';

void AppendInSystemForm(std::string& shown, const char*, size_t, uint32_t c, ShowAs kind)
{
    if (kind == ShowAs::Path && c == '\\') {
        shown += kSystemSeparator;
        return;
    }
    char utf8[4];
    shown.append(utf8, CodePages::EncodeUtf8(c, utf8));
}

bool FromSystemText(const std::string& text, std::string& packageText) { return ToPackageText(text, packageText); }
